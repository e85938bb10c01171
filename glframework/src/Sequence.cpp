#include "glframework/Sequence.h"

void Sequence::start()
{
    Interval::start();
    current = 0;
    if (!children.empty())
        children.front()->start();
}

void Sequence::finish()
{
    Interval::finish();
    for (int i = current; i < getChildCount(); ++i)
        children[i]->finish();
}

bool Sequence::step(float dt)
{
    const int count = getChildCount();
    if (paused || finished || loopCount == 0 || current >= count)
        return false;

    float remaining = dt;
    while (remaining > 0.0f)
    {
        Interval* child = children[current];
        const float childRate = child->getRate();
        const float left = childRate < 0.0f ? -child->getTime() / childRate
                                            : (child->getDuration() - child->getTime()) / childRate;
        child->step(remaining);
        if (remaining < left)
            break;
        ++current;
        if (current == count)
            break;
        children[current]->start();
        remaining -= left;
    }

    time += dt;
    if (time <= duration && current < count)
        return true;

    if (loopCount > 0)
        --loopCount;
    if (loopCount != 0)
    {
        const float runOut = time;
        const float overflow = runOut - duration;
        current = 0;
        children.front()->start();
        time = 0.0f;
        // The next cycle is played by stepping again with what is left. When
        // the subtraction made no progress (a sequence without length, or a
        // time so large that subtracting the length leaves it unchanged) that
        // would recurse forever, so the new cycle starts with the next step.
        if (!(overflow < runOut))
            return true;
        return step(overflow);
    }

    time = duration;
    finished = true;
    return true;
}

int Sequence::getCurrent() const
{
    return current;
}
