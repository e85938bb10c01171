#pragma once

#include "glframework/BlendEvaluator.h"
#include "glframework/Interval.h"

#include <cassert>

// Drives one property of a target object over the interval: at start, on
// every step that does something and at finish it hands the setter
// start + (end - start) * fraction, where fraction is time / duration, shaped
// by the evaluator when there is one (linear otherwise). A linear blend thus
// hands the setter exactly its end value on the step that ends it.
// The duration must be positive.
template <class T, class V = float>
class BlendInterval : public Interval
{
public:
    using Setter = void (T::*)(V);

    // target: not owned, must outlive the interval; evaluator: owned, may be
    // null.
    BlendInterval(T* target_, Setter setter_, float duration_, const V& startValue_, const V& endValue_,
                  BlendEvaluator* evaluator_ = nullptr)
        : Interval(duration_, 1),
          target(target_),
          setter(setter_),
          startValue(startValue_),
          delta(endValue_ - startValue_),
          endValue(endValue_),
          evaluator(evaluator_)
    {
        // The blend's fraction divides by the duration.
        assert(duration_ > 0.0f && "a blend lasts a positive time");
    }

    ~BlendInterval() override { delete evaluator; }

    void start() override
    {
        Interval::start();
        delta = endValue - startValue;
        apply();
    }

    void finish() override
    {
        Interval::finish();
        apply();
    }

    bool step(float dt) override
    {
        if (!Interval::step(dt))
            return false;
        apply();
        return true;
    }

    // Hands the setter the value for the current time.
    void apply()
    {
        float fraction = time / duration;
        if (evaluator)
            fraction = evaluator->evaluate(fraction, this);
        const V value = delta * fraction + startValue;
        (target->*setter)(value);
    }

    // Retargets the blend: nothing is applied and the time is kept, so a
    // running blend heads for the new end value from its next step on.
    void setEndValue(const V& value)
    {
        endValue = value;
        delta = endValue - startValue;
    }

    const V& getStartValue() const { return startValue; }
    const V& getEndValue() const { return endValue; }

private:
    T* target;
    Setter setter;
    V startValue;
    V delta;
    V endValue;
    BlendEvaluator* evaluator;
};
