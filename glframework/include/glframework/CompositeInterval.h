#pragma once

#include "glframework/Interval.h"

#include <initializer_list>
#include <vector>

// The shared part of the intervals that run other intervals (Sequence,
// Parallel): the list of children, which it owns and deletes, and how each
// new child lengthens the whole.
class CompositeInterval : public Interval
{
public:
    // Deletes every child.
    ~CompositeInterval() override;

    // Adds a child at the end (ignored when null). The child's length at this
    // moment, |duration / rate|, is added to the duration of children run one
    // after another, or widens that of children run side by side.
    void append(Interval* child);

    int getChildCount() const;

protected:
    // How the children's lengths make up the whole.
    enum class Timing
    {
        OneAfterAnother,
        SideBySide
    };

    // The children in order, ended by nullptr; a lone nullptr gives none.
    template <class... Listed>
    explicit CompositeInterval(Timing timing_, Listed... listed) : Interval(0.0f, 1), timing(timing_)
    {
        for (Interval* child : {static_cast<Interval*>(listed)...})
            append(child);
    }

    std::vector<Interval*> children;

private:
    Timing timing;
};
