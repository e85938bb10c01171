#pragma once

#include "glframework/TextureCoverage.h"

#include <memory>

// One picture file (PNG or JPEG) decoded into memory, ready to become a
// texture. How it is decoded is the platform's: an image library on the
// desktop, a small decoder of its own in the browser.
class PictureFile
{
public:
    // Decodes fileName; isDecoded tells whether that worked. A null or empty
    // name is unreadable.
    explicit PictureFile(const char* fileName);
    // Frees the decoded picture.
    ~PictureFile();

    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    // Whether the file was read and decoded into a picture of some size.
    bool isDecoded() const;
    // Uploads the picture into the texture bound to GL_TEXTURE_2D, texture
    // row 0 being the picture's top row. False when it could not be
    // uploaded. Needs a current GL context and a decoded picture.
    bool upload();
    // Where the picture, as uploaded, is not transparent (unknown for
    // pictures that are not of 8-bit channels).
    TextureCoverage measureCoverage() const;

private:
    struct Decoded; // the platform's decoded picture
    std::unique_ptr<Decoded> decoded;
};
