#pragma once

#include "glframework/Interval.h"

// Calls one member function of a target object when it is reached in time.
// Its length is 0, so the first step with a positive dt calls the function
// and finishes the interval: the function runs once per play.
template <class T>
class Func : public Interval
{
public:
    using Function = void (T::*)();

    // target: not owned; it must outlive the interval.
    Func(T* target_, Function function_) : Interval(0.0f, 1), target(target_), function(function_) {}

    // Calls the function unless the interval has already finished, then jumps
    // to the end.
    void finish() override
    {
        if (!finished)
            (target->*function)();
        Interval::finish();
    }

    // Calls the function on every step that does something. A step with
    // dt = 0 calls it without finishing the interval.
    bool step(float dt) override
    {
        if (!Interval::step(dt))
            return false;
        (target->*function)();
        return true;
    }

private:
    T* target;
    Function function;
};
