#include "glframework/Interval.h"
#include "glframework/SineEvaluator.h"
#include "glframework/vectors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
float sineAt(float time, float period, float phase)
{
    Interval interval(100.0f, 1);
    interval.setTime(time);
    SineEvaluator evaluator(period, phase);
    return evaluator.evaluate(0.75f, &interval);
}
} // namespace

TEST(SineEvaluatorTest, QuarterPeriods)
{
    EXPECT_EQ(sineAt(0.0f, 4.0f, 0.0f), 0.5f);
    EXPECT_NEAR(sineAt(1.0f, 4.0f, 0.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(sineAt(2.0f, 4.0f, 0.0f), 0.5f, 1e-5f);
    EXPECT_NEAR(sineAt(3.0f, 4.0f, 0.0f), 0.0f, 1e-5f);
    EXPECT_NEAR(sineAt(4.0f, 4.0f, 0.0f), 0.5f, 1e-5f);
}

TEST(SineEvaluatorTest, UsesTheTruncatedPiConstant)
{
    // At half a period sin(PI) is about 2.65e-6, not 0, as PI is 3.14159.
    const double expected = 0.5 * std::sin(PI) + 0.5;
    EXPECT_EQ(sineAt(2.0f, 4.0f, 0.0f), static_cast<float>(expected));
    EXPECT_NE(sineAt(2.0f, 4.0f, 0.0f), 0.5f);
}

TEST(SineEvaluatorTest, PhaseShiftsTheCycle)
{
    EXPECT_NEAR(sineAt(0.0f, 4.0f, PI_FLOAT / 2.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(sineAt(0.0f, 2.0f, PI_FLOAT), 0.5f, 1e-5f);
    EXPECT_NEAR(sineAt(1.5f, 2.0f, PI_FLOAT), 1.0f, 1e-5f);
}
