#pragma once

#include "glframework/BlendEvaluator.h"

// A periodic pulse: ignores the fraction and follows the interval's own
// clock, 0.5 * sin(2 * (t / period) * PI + phase) + 0.5 with vectors.h's
// PI, so a blend shaped by it swings between its start and end values every
// period seconds (from the midpoint at t = 0 when the phase is 0).
class SineEvaluator : public BlendEvaluator
{
public:
    // period: seconds per cycle; phase: radians added inside the sine.
    SineEvaluator(float period, float phase);

    float evaluate(float fraction, Interval* interval) override;

private:
    float period;
    float phase;
};
