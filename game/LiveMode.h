#pragma once

#include "glframework/State.h"

// The screen in which the game is played.
class LiveMode : public State
{
public:
    explicit LiveMode(const char* name);
    ~LiveMode() override;
};
