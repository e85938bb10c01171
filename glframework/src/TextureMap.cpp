#include "glframework/TextureMap.h"

#include "glframework/Log.h"

#include "PictureFile.h"

#include <GL/gl.h>

TextureMap::TextureMap() : id(NO_TEXTURE), refCount(1), fileName(nullptr) {}

std::uint32_t TextureMap::load(const char* name)
{
    PictureFile picture(name);
    if (picture.isDecoded())
    {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        id = texture;
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        if (picture.upload())
        {
            fileName = name;
            coverage = picture.measureCoverage();
            logLine("Loaded texture ", name);
        }
        else
        {
            // A texture without an image would draw as garbage: drop it.
            glDeleteTextures(1, &texture);
            id = NO_TEXTURE;
        }
    }
    if (id == NO_TEXTURE)
        logLine("Couldn't load texture ", (name != nullptr ? name : ""));
    return id;
}

void TextureMap::release() {}
