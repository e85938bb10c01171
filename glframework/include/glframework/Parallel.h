#pragma once

#include "glframework/Interval.h"

#include <initializer_list>
#include <vector>

// Runs all its children side by side from the same clock; it lasts as long
// as its longest child. Owns its children.
class Parallel : public Interval
{
public:
    // The children, ended by nullptr: new Parallel(a, b, nullptr);
    // new Parallel(nullptr) is empty (duration 0).
    template <class... Listed>
    explicit Parallel(Listed... listed) : Interval(0.0f, 1)
    {
        static_assert(interval_detail::isChildList<Listed...>(),
                      "Parallel takes Interval pointers ended by nullptr");
        for (Interval* child : {static_cast<Interval*>(listed)...})
            append(child);
    }
    ~Parallel() override;

    // Adds a child (ignored when null); the duration becomes the larger of
    // itself and the child's |duration / rate| at this moment.
    void append(Interval* child);

    // Starts every child.
    void start() override;
    // Finishes this parallel, then every child not finished yet.
    void finish() override;
    // Resets the rate to 1, steps the own clock (restarting every child when
    // it wraps) and then every child with the whole dt.
    bool step(float dt) override;

    int getChildCount() const;

private:
    std::vector<Interval*> children;
};
