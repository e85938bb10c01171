#pragma once

#include "glframework/Sprite.h"

#include <cstdint>

// A sprite that does not change from frame to frame and is drawn first,
// straight after the window is cleared: a board's background. Filtering a
// window-sized picture again every frame is costly in a software renderer,
// so the first draw draws it as a sprite and keeps a copy of the window's
// pixels in a texture of its own; later draws put those pixels back as they
// are, unfiltered and unblended, which leaves the window exactly as drawing
// the sprite would. A draw under a different viewport, matrix or clear
// colour, or after any of the sprite's fields changed, draws and copies
// afresh. Other GL state is taken to be the same at every draw.
// Owns its copy texture, so it cannot be copied.
class Backdrop : public Sprite
{
public:
    Backdrop() = default;
    ~Backdrop() override;
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;
    // Takes every field of sprite (as copying a sprite does) and lets go of
    // the kept pixels; the copy texture stays this backdrop's own.
    Backdrop& operator=(const Sprite& sprite);

    // Draws the sprite, or its kept pixels when they still hold. Call it
    // first in a frame, after clearing the window and before anything else
    // is drawn. Without a window (no viewport) it draws as a plain sprite.
    void draw() override;

    // True once a copy is kept that matches the last draw.
    bool isKept() const;

private:
    // Everything that decides what the first draw leaves in the window, all
    // of it four-byte fields so that the struct has no padding to compare.
    struct Placement
    {
        int viewport[4];
        float projection[16];
        float modelView[16];
        float clearColor[4];
        float sprite[14]; // position, offset, scale, angle, colour
        std::uint32_t textureId;
        std::uint32_t blended;
    };

    Placement current() const;
    // Copies the viewport's pixels into the copy texture; false when the
    // viewport is larger than a texture can be.
    bool keep(const Placement& placement);
    void putBack(const Placement& placement);

    Placement kept{};
    bool isCopyValid = false;
    std::uint32_t copyTexture = 0; // 0: none made yet
    int copyWidth = 0;             // texels, powers of two
    int copyHeight = 0;
};
