#pragma once

class Interval;

// The easing of a BlendInterval: turns the blend's progress into the fraction
// that mixes its start and end values. Owned and deleted by the blend.
class BlendEvaluator
{
public:
    // Virtual because the owning blend deletes it through this base.
    virtual ~BlendEvaluator() = default;

    // fraction: the blend's time / duration; interval: the blend itself.
    virtual float evaluate(float fraction, Interval* interval) = 0;
};
