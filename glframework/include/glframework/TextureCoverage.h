#pragma once

#include "glframework/BoxPlan.h"

#include <cstdint>
#include <vector>

// Where a texture can draw anything at all: its picture cut into a grid of
// CELLS x CELLS cells, each marked when any texel in it is not fully
// transparent. A sprite that blends a large, mostly transparent picture
// (the board's layers) uses it to let the renderer skip the pixels that
// would come out unchanged, and a fully opaque picture is drawn without
// blending; the pixels drawn are the same either way.
// Tested through the sprite's pixel test (SpriteTest.cpp,
// DrawingOnlyWhereAPictureShowsChangesNoPixel), which holds a covered draw
// to a whole one pixel for pixel.
class TextureCoverage
{
public:
    // Cells along each side of the picture.
    static constexpr int CELLS = 64;
    // A rectangle of window pixels, x and y from the bottom-left corner.
    using Box = BoxPlan::Box;

    // Nothing known: every pixel of a sprite may change.
    TextureCoverage();

    // Measures width x height alpha values (0 transparent .. 255 opaque),
    // row 0 first, row 0 being the texture's top row. Consecutive values lie
    // stride bytes apart (1 for a plain alpha array, 4 for RGBA texels).
    static TextureCoverage measure(const std::uint8_t* alpha, int width, int height, int stride = 1);
    // A measured picture of width x height texels without an alpha channel.
    static TextureCoverage opaquePicture(int width, int height);

    // True once measured.
    bool isKnown() const;
    // True when measured and every texel is fully opaque.
    bool isOpaque() const;
    // True when measured and at least one cell is wholly transparent.
    bool hasEmptyCells() const;

    // The window boxes, disjoint, outside of which a sprite with this
    // texture leaves every pixel unchanged. The sprite's unit square maps to
    // the window as x = scaleX * u + offsetX and y = scaleY * v + offsetY
    // (u, v from -0.5 to 0.5, v up, texture row 0 along v = 0.5), in window
    // pixels. Every marked cell is widened by one cell on each side, which
    // covers the texture filter's reach and the rounding to whole pixels as
    // long as a cell spans at least two texels more than a pixel does; when
    // it does not (a sprite drawn small), or nothing is known, returns null
    // and the whole sprite must be drawn. The boxes are planned to cost the
    // least (pixels filled plus a price per box) and kept, owned by the
    // coverage, until a call with another mapping.
    const std::vector<Box>* windowBoxes(float scaleX, float offsetX, float scaleY, float offsetY) const;

private:
    // True when measured and a cell spans at least two texels more than a
    // pixel does along both axes, for a sprite of scaleX x scaleY pixels.
    bool cellsAreCoarseEnough(float scaleX, float scaleY) const;
    // Plans the boxes for a mapping into cachedBoxes.
    void planBoxes(float scaleX, float offsetX, float scaleY, float offsetY) const;

    bool known;
    bool opaque;
    bool emptyCells; // some cell holds no texel that shows
    int width;  // texels
    int height; // texels
    std::uint64_t rows[CELLS]; // bit c of rows[r]: cell c of row r is not empty; row 0 at the top
    // The boxes last planned and the mapping they were planned for.
    mutable std::vector<Box> cachedBoxes;
    mutable float cachedFor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};
