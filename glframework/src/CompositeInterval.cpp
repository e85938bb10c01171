#include "glframework/CompositeInterval.h"

#include "glframework/vectors.h"

#include <cassert>

CompositeInterval::~CompositeInterval()
{
    for (Interval* child : children)
        delete child;
}

void CompositeInterval::append(Interval* child)
{
    if (!child)
        return;
    // The child's length divides by its rate.
    assert(child->getRate() != 0.0f && "a composite's child runs at a non-zero rate");
    const float childLength = floatAbs(child->getDuration() / child->getRate());
    if (timing == Timing::OneAfterAnother)
        duration += childLength;
    else if (childLength > duration)
        duration = childLength;
    children.push_back(child);
}

int CompositeInterval::getChildCount() const
{
    return static_cast<int>(children.size());
}
