#include "glframework/State.h"

#include <cassert>

State* currentState = nullptr;

State::State(const char* name_) : name(name_) {}

State::~State() = default;

bool State::enter(State*)
{
    return true;
}

bool State::canLeave(State*)
{
    return true;
}

bool State::leave(State*)
{
    return true;
}

void State::draw() {}

void State::update() {}

void State::mouseButton(int, int, int, int) {}

void State::mouseDrag(int, int) {}

void State::mouseMove(int, int) {}

void State::keyDown(unsigned char, int, int) {}

void State::keyUp(unsigned char, int, int) {}

void State::specialKeyDown(int, int, int) {}

void State::specialKeyUp(int, int, int) {}

const char* State::getName() const
{
    return name;
}

bool changeState(State* next)
{
    // The new screen is entered and made current.
    assert(next != nullptr && "changeState is given a screen to switch to");
    if (currentState != nullptr)
    {
        if (!currentState->canLeave(next))
            return false;
        currentState->leave(next);
    }
    // The old screen stays current while the new one's enter runs.
    next->enter(currentState);
    currentState = next;
    return true;
}
