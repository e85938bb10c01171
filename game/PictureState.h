#pragma once

#include "glframework/Sprite.h"
#include "glframework/State.h"

// A screen that shows one picture over the whole window: the start and the
// end screens.
class PictureState : public State
{
public:
    // The side, in world units, of a square picture that covers the whole
    // window; the playing screen's background is drawn at this size too.
    static constexpr float PICTURE_SCALE = 1024.0f;

    explicit PictureState(const char* name);

    // Draws the picture.
    void draw() override;

protected:
    // Shows the picture fileName (a string constant, as the texture cache
    // needs) on a fresh sprite, PICTURE_SCALE world units square, centred on the
    // origin, which covers the window. A fresh sprite because the one built
    // with the screen, before the window existed, has no display list.
    // Needs the window's GL context.
    void showPicture(const char* fileName);

    Sprite background; // the full-window picture
};
