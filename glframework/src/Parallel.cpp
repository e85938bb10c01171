#include "glframework/Parallel.h"

void Parallel::start()
{
    Interval::start();
    for (Interval* child : children)
        child->start();
}

void Parallel::finish()
{
    Interval::finish();
    for (Interval* child : children)
        if (!child->isFinished())
            child->finish();
}

bool Parallel::step(float dt)
{
    rate = 1.0f;
    const std::uint32_t loopsBefore = loopsDone;
    if (!Interval::step(dt))
        return false;
    if (loopsDone != loopsBefore)
        for (Interval* child : children)
            child->start();
    for (Interval* child : children)
        child->step(dt);
    return true;
}
