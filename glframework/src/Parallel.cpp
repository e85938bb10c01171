#include "glframework/Parallel.h"

#include "glframework/vectors.h"

Parallel::~Parallel()
{
    for (Interval* child : children)
        delete child;
}

void Parallel::append(Interval* child)
{
    if (!child)
        return;
    const float childLength = floatAbs(child->getDuration() / child->getRate());
    duration = duration > childLength ? duration : childLength;
    children.push_back(child);
}

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

int Parallel::getChildCount() const
{
    return static_cast<int>(children.size());
}
