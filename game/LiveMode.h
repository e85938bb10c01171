#pragma once

#include "glframework/State.h"
#include "glframework/Vector3.h"

// The screen in which the game is played.
class LiveMode : public State
{
public:
    explicit LiveMode(const char* name);
    ~LiveMode() override;

    // The board's region test: true when point lies in the left region. The
    // upper small circle (radius 150 around (0, 150)) belongs wholly to the
    // left, the lower one (around (0, -150)) wholly to the right; elsewhere
    // x <= 0 is left. Points outside the board are sorted the same way.
    bool isOnLeftSide(const Vector3& point) const;
};
