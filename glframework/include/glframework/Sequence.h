#pragma once

#include "glframework/CompositeInterval.h"

// Runs its children one after another. Time left over by a child that ends
// within a step goes to the next child in the same step, so chained
// animations keep exact timing at any frame rate. Owns its children.
class Sequence : public CompositeInterval
{
public:
    // The children in playing order, ended by nullptr:
    // new Sequence(first, second, nullptr); new Sequence(nullptr) is empty.
    // Each child's |duration / rate| adds to the duration (see append).
    template <class... Listed>
    explicit Sequence(Listed... listed) : CompositeInterval(Timing::OneAfterAnother, listed...), current(0)
    {
        static_assert(interval_detail::isChildList<Listed...>(),
                      "Sequence takes Interval pointers ended by nullptr");
    }

    // Starts the first child (if any).
    void start() override;
    // Finishes this sequence, then the running child and every later one.
    void finish() override;
    bool step(float dt) override;

    // Index of the running child; the child count once the last has run out.
    int getCurrent() const;

private:
    std::int32_t current;
};
