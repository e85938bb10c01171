#include "support/IntervalProbes.h"

#include "glframework/BlendInterval.h"
#include "glframework/SineEvaluator.h"

#include <gtest/gtest.h>

TEST(BlendIntervalTest, LinearBlendReachesExactlyItsEndValue)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.5f, 0.0f, 1.0f, nullptr);
    blend.start();
    ASSERT_EQ(target.values.size(), 1u);
    EXPECT_EQ(target.values.back(), 0.0f);

    EXPECT_TRUE(blend.step(0.03f));
    EXPECT_FLOAT_EQ(target.values.back(), 0.02f);

    int steps = 1;
    while (!blend.isFinished() && steps < 100)
    {
        EXPECT_TRUE(blend.step(0.03f));
        ++steps;
        if (!blend.isFinished())
        {
            EXPECT_LT(target.values.back(), 1.0f);
        }
    }
    EXPECT_TRUE(blend.isFinished());
    EXPECT_GE(steps, 50);
    EXPECT_LE(steps, 51);
    EXPECT_EQ(target.values.back(), 1.0f);

    const std::size_t calls = target.values.size();
    EXPECT_FALSE(blend.step(0.03f));
    EXPECT_EQ(target.values.size(), calls);
}

TEST(BlendIntervalTest, ValuesFollowTheFraction)
{
    Target target;
    BlendInterval<Target> blend(&target, &Target::setValue, 2.0f, 10.0f, 20.0f);
    blend.start();
    blend.step(0.5f);
    EXPECT_FLOAT_EQ(target.values.back(), 12.5f);
    blend.step(1.0f);
    EXPECT_FLOAT_EQ(target.values.back(), 17.5f);
}

TEST(BlendIntervalTest, OverloadedSetterResolvesToTheFloatOne)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setScale, 1.0f, 40.0f, 80.0f, nullptr);
    blend.start();
    blend.step(0.5f);
    EXPECT_FLOAT_EQ(target.values.back(), 60.0f);
}

TEST(BlendIntervalTest, FinishWithoutStartHandsTheEndValue)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 3.0f, 7.0f, nullptr);
    blend.finish();
    ASSERT_EQ(target.values.size(), 1u);
    EXPECT_EQ(target.values.back(), 7.0f);
    EXPECT_TRUE(blend.isFinished());
}

TEST(BlendIntervalTest, FinishWhileRunningHandsTheEndValue)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 3.0f, 7.0f, nullptr);
    blend.start();
    blend.step(0.25f);
    blend.finish();
    EXPECT_EQ(target.values.back(), 7.0f);
}

TEST(BlendIntervalTest, SetEndValueRetargetsFromTheNextStep)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 40.0f, 80.0f, nullptr);
    blend.start();
    blend.step(0.5f);
    EXPECT_FLOAT_EQ(target.values.back(), 60.0f);

    const std::size_t calls = target.values.size();
    blend.setEndValue(60.0f);
    EXPECT_EQ(target.values.size(), calls);
    EXPECT_FLOAT_EQ(blend.getTime(), 0.5f);
    EXPECT_EQ(blend.getEndValue(), 60.0f);

    blend.step(0.03f);
    EXPECT_NEAR(target.values.back(), 50.6f, 1e-4f);
    blend.step(1.0f);
    EXPECT_EQ(target.values.back(), 60.0f);
}

TEST(BlendIntervalTest, StartRecomputesTheDifference)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 0.0f, 10.0f, nullptr);
    blend.setEndValue(20.0f);
    blend.start();
    blend.step(0.5f);
    EXPECT_FLOAT_EQ(target.values.back(), 10.0f);
}

TEST(BlendIntervalTest, EvaluatorShapesTheFraction)
{
    Target target;
    ProbeEvaluator* evaluator = new ProbeEvaluator(0.25f);
    BlendInterval<Target, float> blend(&target, &Target::setValue, 2.0f, 100.0f, 200.0f, evaluator);
    blend.start();
    blend.step(1.5f);
    EXPECT_FLOAT_EQ(evaluator->lastFraction, 0.75f);
    EXPECT_EQ(evaluator->lastInterval, &blend);
    EXPECT_FLOAT_EQ(target.values.back(), 125.0f);
}

TEST(BlendIntervalTest, SineShapedBlendSwingsForItsWholeDuration)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 4.0f, 0.0f, 1.0f, new SineEvaluator(4.0f, 0.0f));
    blend.start();
    EXPECT_EQ(target.values.back(), 0.5f);
    blend.step(1.0f);
    EXPECT_NEAR(target.values.back(), 1.0f, 1e-5f);
    blend.step(1.0f);
    EXPECT_NEAR(target.values.back(), 0.5f, 1e-5f);
    blend.step(1.0f);
    EXPECT_NEAR(target.values.back(), 0.0f, 1e-5f);
}

TEST(BlendIntervalTest, LoopedLinearBlendJumpsBackAfterAWrap)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 0.0f, 10.0f, nullptr);
    blend.loop();
    for (int i = 0; i < 3; ++i)
        blend.step(0.3f);
    EXPECT_NEAR(target.values.back(), 9.0f, 1e-4f);
    blend.step(0.3f);
    EXPECT_NEAR(target.values.back(), 2.0f, 1e-4f);
    EXPECT_FALSE(blend.isFinished());
}

TEST(BlendIntervalTest, BackwardBlendRunsFromEndToStart)
{
    Target target;
    BlendInterval<Target, float> blend(&target, &Target::setValue, 1.0f, 0.0f, 10.0f, nullptr);
    blend.setRate(-1.0f);
    blend.start();
    EXPECT_EQ(target.values.back(), 10.0f);
    blend.step(0.25f);
    EXPECT_FLOAT_EQ(target.values.back(), 7.5f);
    blend.step(1.0f);
    EXPECT_EQ(target.values.back(), 0.0f);
    EXPECT_TRUE(blend.isFinished());
}

TEST(BlendIntervalTest, DeletingDeletesTheEvaluatorOnly)
{
    int evaluatorDeaths = 0;
    Target target;
    Interval* blend =
        new BlendInterval<Target, float>(&target, &Target::setValue, 1.0f, 0.0f, 1.0f, new ProbeEvaluator(0.5f, &evaluatorDeaths));
    blend->start();
    EXPECT_EQ(evaluatorDeaths, 0);
    delete blend;
    EXPECT_EQ(evaluatorDeaths, 1);

    Interval* linear = new BlendInterval<Target, float>(&target, &Target::setValue, 1.0f, 0.0f, 1.0f, nullptr);
    delete linear;
    EXPECT_EQ(target.values.size(), 1u);
}
