#include "PictureFile.h"

#include <GL/gl.h>
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>

// On the desktop, DevIL decodes the picture and its ILUT layer uploads it.
struct PictureFile::Decoded
{
    ILuint image = 0;
};

namespace
{
bool ilInitialized = false;

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

PictureFile::PictureFile(const char* fileName) : decoded(std::make_unique<Decoded>())
{
    if (!ilInitialized)
        initImageLibrary();
    ilGenImages(1, &decoded->image);
    ilBindImage(decoded->image);
    // An empty name would make DevIL read nothing sensible; treat it as unreadable.
    const bool read = fileName != nullptr && fileName[0] != '\0' && ilLoadImage(fileName) == IL_TRUE &&
                      ilGetInteger(IL_IMAGE_WIDTH) > 0 && ilGetInteger(IL_IMAGE_HEIGHT) > 0;
    if (read)
        iluFlipImage();
    else
    {
        ilDeleteImages(1, &decoded->image);
        decoded.reset();
    }
}

PictureFile::~PictureFile()
{
    if (decoded)
        ilDeleteImages(1, &decoded->image);
}

bool PictureFile::isDecoded() const
{
    return decoded != nullptr;
}

bool PictureFile::upload()
{
    ilBindImage(decoded->image);
    return ilutGLTexImage(0) == IL_TRUE;
}

TextureCoverage PictureFile::measureCoverage() const
{
    // Images of 8-bit channels only; anything else stays unknown and is
    // drawn whole.
    ilBindImage(decoded->image);
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
