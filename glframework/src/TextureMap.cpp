#include "glframework/TextureMap.h"

#include "glframework/Log.h"

#include <GL/gl.h>
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>


namespace
{
bool ilInitialized = false;

// Where the bound image, as it will be uploaded, is not transparent. Images
// of 8-bit channels only; anything else stays unknown and is drawn whole.
TextureCoverage measureBoundImage()
{
    const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
    const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILint bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    const ILubyte* data = ilGetData();
    if (ilGetInteger(IL_IMAGE_TYPE) != IL_UNSIGNED_BYTE || data == nullptr)
        return TextureCoverage();
    switch (ilGetInteger(IL_IMAGE_FORMAT))
    {
    case IL_RGBA:
    case IL_BGRA:
    case IL_LUMINANCE_ALPHA:
        // Alpha is each texel's last byte.
        return TextureCoverage::measure(data + bytesPerPixel - 1, width, height, bytesPerPixel);
    case IL_RGB:
    case IL_BGR:
    case IL_LUMINANCE:
        return TextureCoverage::opaquePicture(width, height);
    default:
        return TextureCoverage();
    }
}

void initImageLibrary()
{
    ilInit();
    iluInit();
    ilutRenderer(ILUT_OPENGL);
    // ILUT uploads an image's rows in the order its origin implies, bottom row
    // first, while sprites map texture row 0 to their top edge. Storing every
    // decoded image bottom row first (lower-left origin) makes ILUT upload the
    // rows as they lie in memory, so one flip after loading puts the top row
    // first whatever the file's own row order was.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ilInitialized = true;
}
} // namespace

TextureMap::TextureMap() : id(NO_TEXTURE), refCount(1), fileName(nullptr) {}

std::uint32_t TextureMap::load(const char* name)
{
    if (!ilInitialized)
        initImageLibrary();

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);

    // An empty name would make DevIL read nothing sensible; treat it as unreadable.
    const bool decoded = name != nullptr && name[0] != '\0' && ilLoadImage(name) == IL_TRUE &&
                         ilGetInteger(IL_IMAGE_WIDTH) > 0 && ilGetInteger(IL_IMAGE_HEIGHT) > 0;
    if (decoded)
    {
        iluFlipImage();

        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        id = texture;
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        if (ilutGLTexImage(0) == IL_TRUE)
        {
            fileName = name;
            coverage = measureBoundImage();
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

    ilDeleteImages(1, &image);
    return id;
}

void TextureMap::release() {}
