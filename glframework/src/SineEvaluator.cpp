#include "glframework/SineEvaluator.h"

#include "glframework/Interval.h"
#include "glframework/vectors.h"

#include <cmath>

SineEvaluator::SineEvaluator(float period_, float phase_) : period(period_), phase(phase_) {}

float SineEvaluator::evaluate(float /*fraction*/, Interval* interval)
{
    const double t = interval->getTime();
    return static_cast<float>(0.5 * std::sin(2.0 * (t / period) * PI + phase) + 0.5);
}
