#pragma once

#include "glframework/TextureCoverage.h"

#include <cstdint>

// One cached texture: the OpenGL texture made from one image file. Records are
// created by getTexture (TextureManager.h), shared by every sprite that names
// the same string, and never deleted; the GL texture is never freed either.
class TextureMap
{
public:
    // The GL name that no texture ever has: the record holds no texture.
    static constexpr std::uint32_t NO_TEXTURE = 0xFFFFFFFFu;

    // An empty record: id NO_TEXTURE, refCount 1, no file name.
    TextureMap();

    // Decodes the image file and uploads it as a new GL texture, which is left
    // bound to GL_TEXTURE_2D; pictures come out upright (texture row 0 is the
    // image's top row). Prints "Loaded texture <name>" or, when the file cannot
    // be read or decoded, "Couldn't load texture <name>" and leaves id at
    // NO_TEXTURE. Needs a current GL context. Returns id.
    // fileName is not copied: it must outlive the record.
    std::uint32_t load(const char* fileName);

    // Does nothing: textures stay loaded for the whole run.
    void release();

    std::uint32_t id;     // GL texture name, NO_TEXTURE while none is loaded
    int refCount;         // how many getTexture calls returned this record
    const char* fileName; // the name it was loaded from (not owned); null if loading failed
    TextureCoverage coverage; // where the picture is not transparent; unknown until loaded
};
