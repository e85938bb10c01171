#include "PictureFile.h"

#include <GL/gl.h>

// The browser has no DevIL: stb_image decodes PNG and JPEG, and the texels
// are uploaded as they come, top row first, as RGB or RGBA.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#include <stb_image.h>

struct PictureFile::Decoded
{
    stbi_uc* texels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0; // 3 (RGB) or 4 (RGBA)
};

PictureFile::PictureFile(const char* fileName)
{
    if (fileName == nullptr || fileName[0] == '\0')
        return;
    int width = 0;
    int height = 0;
    int fileChannels = 0;
    if (stbi_info(fileName, &width, &height, &fileChannels) == 0)
        return;
    // Grey pictures are widened to colour, as the desktop's upload does.
    const int channels = fileChannels == 2 || fileChannels == 4 ? 4 : 3;
    stbi_uc* texels = stbi_load(fileName, &width, &height, &fileChannels, channels);
    if (texels == nullptr || width <= 0 || height <= 0)
    {
        stbi_image_free(texels);
        return;
    }
    decoded = std::make_unique<Decoded>();
    decoded->texels = texels;
    decoded->width = width;
    decoded->height = height;
    decoded->channels = channels;
}

PictureFile::~PictureFile()
{
    if (decoded)
        stbi_image_free(decoded->texels);
}

bool PictureFile::isDecoded() const
{
    return decoded != nullptr;
}

bool PictureFile::upload()
{
    const GLenum format = decoded->channels == 4 ? GL_RGBA : GL_RGB;
    // Errors left by earlier calls are not this upload's (bounded: a lost
    // context reports its loss for ever).
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i)
    {
    }
    glTexImage2D(GL_TEXTURE_2D, 0, format, decoded->width, decoded->height, 0, format, GL_UNSIGNED_BYTE,
                 decoded->texels);
    return glGetError() == GL_NO_ERROR;
}

TextureCoverage PictureFile::measureCoverage() const
{
    if (decoded->channels == 4)
        return TextureCoverage::measure(decoded->texels + 3, decoded->width, decoded->height, 4);
    return TextureCoverage::opaquePicture(decoded->width, decoded->height);
}
