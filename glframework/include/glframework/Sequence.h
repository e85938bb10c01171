#pragma once

#include "glframework/Interval.h"

#include <initializer_list>
#include <vector>

// Runs its children one after another. Time left over by a child that ends
// within a step goes to the next child in the same step, so chained
// animations keep exact timing at any frame rate. Owns its children.
class Sequence : public Interval
{
public:
    // The children in playing order, ended by nullptr:
    // new Sequence(first, second, nullptr); new Sequence(nullptr) is empty.
    template <class... Listed>
    explicit Sequence(Listed... listed) : Interval(0.0f, 1), current(0)
    {
        static_assert(interval_detail::isChildList<Listed...>(),
                      "Sequence takes Interval pointers ended by nullptr");
        for (Interval* child : {static_cast<Interval*>(listed)...})
            append(child);
    }
    ~Sequence() override;

    // Adds a child at the end (ignored when null); the duration grows by the
    // child's |duration / rate| at this moment.
    void append(Interval* child);

    // Starts the first child (if any).
    void start() override;
    // Finishes this sequence, then the running child and every later one.
    void finish() override;
    bool step(float dt) override;

    // Index of the running child; the child count once the last has run out.
    int getCurrent() const;
    int getChildCount() const;

private:
    std::vector<Interval*> children;
    std::int32_t current;
};
