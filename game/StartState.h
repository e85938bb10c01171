#pragma once

#include "PictureState.h"

// The first screen: a splash picture, then after one click the instructions,
// and after a second click the game. Clicks act on the left button's release.
class StartState : public PictureState
{
public:
    explicit StartState(const char* name);

    // Back to the splash page, whatever was shown before. Needs the
    // window's GL context.
    bool enter(State* previous) override;
    // Left release: splash -> instructions -> play. Everything else is ignored.
    void mouseButton(int button, int state, int x, int y) override;

    // 0 while the splash shows, 1 once the instructions show.
    int getPage() const;

private:
    int page;
};
