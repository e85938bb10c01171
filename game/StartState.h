#pragma once

#include "glframework/Sprite.h"
#include "glframework/State.h"

// The first screen: a splash picture, then after one click the instructions,
// and after a second click the game. Clicks act on the left button's release.
class StartState : public State
{
public:
    explicit StartState(const char* name);

    // Back to the splash page, whatever was shown before: builds the
    // full-window picture, 1024 x 1024 world units centred on the origin.
    // Needs the window's GL context.
    bool enter(State* previous) override;
    // Draws the current picture.
    void draw() override;
    // Left release: splash -> instructions -> play. Everything else is ignored.
    void mouseButton(int button, int state, int x, int y) override;

    // 0 while the splash shows, 1 once the instructions show.
    int getPage() const;

private:
    Sprite background; // the full-window picture
    int page;
};
