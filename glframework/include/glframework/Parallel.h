#pragma once

#include "glframework/CompositeInterval.h"

// Runs all its children side by side from the same clock; it lasts as long
// as its longest child. Owns its children.
class Parallel : public CompositeInterval
{
public:
    // The children, ended by nullptr: new Parallel(a, b, nullptr);
    // new Parallel(nullptr) is empty (duration 0). The duration is the
    // longest child's |duration / rate| (see append).
    template <class... Listed>
    explicit Parallel(Listed... listed) : CompositeInterval(Timing::SideBySide, listed...)
    {
        static_assert(interval_detail::isChildList<Listed...>(),
                      "Parallel takes Interval pointers ended by nullptr");
    }

    // Starts every child.
    void start() override;
    // Finishes this parallel, then every child not finished yet.
    void finish() override;
    // Resets the rate to 1, steps the own clock (restarting every child when
    // it wraps) and then every child with the whole dt.
    bool step(float dt) override;
};
