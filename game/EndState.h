#pragma once

#include "PictureState.h"

// Shows the outcome of a game over the whole window. A left click made after
// a pause of more than 3 whole seconds of the frame clock starts a new game.
class EndState : public PictureState
{
public:
    explicit EndState(const char* name);

    // Shows the win or the lose picture according to won and starts the
    // pause. Needs the window's GL context.
    bool enter(State* previous) override;
    // Left release after the pause: back to play. Earlier clicks are lost.
    void mouseButton(int button, int state, int x, int y) override;

    // Written by the play screen before every switch here: true shows the win picture.
    bool won;

private:
    float enterTime; // whole seconds of the frame clock when entered
};
