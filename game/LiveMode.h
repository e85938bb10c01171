#pragma once

#include "glframework/SoundManager.h"
#include "glframework/State.h"
#include "glframework/Vector3.h"

// The screen in which the game is played.
class LiveMode : public State
{
public:
    // Starts the sound and loads the game's four sounds from ./sounds/:
    // "bg" (repeating music), "transfer", "accept" and "gong" (once each).
    // Runs before main: needs no window.
    explicit LiveMode(const char* name);
    // Stops all sounds and closes the sound device (through soundManager).
    ~LiveMode() override;

    // The board's region test: true when point lies in the left region. The
    // upper small circle (radius 150 around (0, 150)) belongs wholly to the
    // left, the lower one (around (0, -150)) wholly to the right; elsewhere
    // x <= 0 is left. Points outside the board are sorted the same way.
    bool isOnLeftSide(const Vector3& point) const;

private:
    SoundManager soundManager;
};
