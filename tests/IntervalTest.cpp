#include "glframework/Interval.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(IntervalTest, ZeroLengthFinishesOnFirstPositiveStep)
{
    Interval interval(0.0f, 1);
    interval.start();
    EXPECT_TRUE(interval.step(0.03f));
    EXPECT_EQ(interval.getTime(), 0.0f);
    EXPECT_TRUE(interval.isFinished());
    EXPECT_EQ(interval.getLoopCount(), 0);
}

TEST(IntervalTest, ZeroLengthStaysRunningOnZeroStep)
{
    Interval interval(0.0f, 1);
    interval.start();
    EXPECT_TRUE(interval.step(0.0f));
    EXPECT_FALSE(interval.isFinished());
    EXPECT_EQ(interval.getLoopCount(), 1);
}

TEST(IntervalTest, EndingStepClampsToDurationAndLaterStepsChangeNothing)
{
    Interval interval(1.0f, 1);
    interval.start();
    EXPECT_TRUE(interval.step(0.6f));
    EXPECT_FLOAT_EQ(interval.getTime(), 0.6f);
    EXPECT_TRUE(interval.step(0.6f));
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_TRUE(interval.isFinished());
    EXPECT_EQ(interval.getLoopCount(), 0);

    EXPECT_FALSE(interval.step(0.6f));
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_TRUE(interval.isFinished());
    EXPECT_EQ(interval.getLoopCount(), 0);
    EXPECT_EQ(interval.getLoopsDone(), 0u);
}

TEST(IntervalTest, TimeExactlyAtDurationIsStillInsideThePlay)
{
    Interval interval(1.0f, 1);
    interval.start();
    EXPECT_TRUE(interval.step(1.0f));
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_FALSE(interval.isFinished());
    EXPECT_TRUE(interval.step(0.01f));
    EXPECT_TRUE(interval.isFinished());
}

TEST(IntervalTest, FinishJumpsToTheEndAndKeepsLoopCount)
{
    Interval interval(2.0f, 1);
    interval.start();
    interval.step(0.5f);
    interval.finish();
    EXPECT_EQ(interval.getTime(), 2.0f);
    EXPECT_TRUE(interval.isFinished());
    EXPECT_EQ(interval.getLoopCount(), 1);
    EXPECT_FALSE(interval.step(0.1f));
    EXPECT_EQ(interval.getTime(), 2.0f);
}

TEST(IntervalTest, FinishBackwardJumpsToZero)
{
    Interval interval(2.0f, 1);
    interval.setRate(-1.0f);
    interval.start();
    interval.finish();
    EXPECT_EQ(interval.getTime(), 0.0f);
    EXPECT_TRUE(interval.isFinished());
}

TEST(IntervalTest, StartAfterFinishRunsAgainFromZero)
{
    Interval interval(1.0f, 1);
    interval.loop();
    interval.step(1.5f);
    EXPECT_EQ(interval.getLoopsDone(), 1u);
    interval.finish();

    interval.start();
    EXPECT_EQ(interval.getTime(), 0.0f);
    EXPECT_EQ(interval.getLoopsDone(), 0u);
    EXPECT_EQ(interval.getLoopCount(), 1);
    EXPECT_FALSE(interval.isFinished());
    EXPECT_TRUE(interval.step(0.25f));
    EXPECT_FLOAT_EQ(interval.getTime(), 0.25f);
}

TEST(IntervalTest, StartClearsPauseAndGivesOnePlay)
{
    Interval interval(1.0f, 5);
    interval.setPaused(true);
    interval.start();
    EXPECT_FALSE(interval.isPaused());
    EXPECT_EQ(interval.getLoopCount(), 1);
}

TEST(IntervalTest, SetTimeClampsToThePlay)
{
    Interval interval(1.25f, 1);
    interval.setTime(-1.0f);
    EXPECT_EQ(interval.getTime(), 0.0f);
    interval.setTime(5.0f);
    EXPECT_EQ(interval.getTime(), 1.25f);
    interval.setTime(0.5f);
    EXPECT_EQ(interval.getTime(), 0.5f);
}

TEST(IntervalTest, LoopWrapsAndNeverFinishes)
{
    Interval interval(1.0f, 1);
    interval.loop();
    EXPECT_EQ(interval.getLoopCount(), -1);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(interval.step(0.3f));
    EXPECT_NEAR(interval.getTime(), 0.2f, 1e-5f);
    EXPECT_EQ(interval.getLoopsDone(), 1u);
    EXPECT_EQ(interval.getLoopCount(), -1);
    EXPECT_FALSE(interval.isFinished());

    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(interval.step(0.03f));
    EXPECT_FALSE(interval.isFinished());
    EXPECT_EQ(interval.getLoopsDone(), 31u);
}

TEST(IntervalTest, LoopCountCountsDownPlaysAndLoopsDoneCountsWraps)
{
    Interval interval(1.0f, 1);
    interval.start();
    interval.setLoopCount(3);

    EXPECT_TRUE(interval.step(1.5f));
    EXPECT_EQ(interval.getLoopCount(), 2);
    EXPECT_EQ(interval.getLoopsDone(), 1u);
    EXPECT_FLOAT_EQ(interval.getTime(), 0.5f);

    EXPECT_TRUE(interval.step(1.0f));
    EXPECT_EQ(interval.getLoopCount(), 1);
    EXPECT_EQ(interval.getLoopsDone(), 2u);
    EXPECT_FALSE(interval.isFinished());

    EXPECT_TRUE(interval.step(1.0f));
    EXPECT_EQ(interval.getLoopCount(), 0);
    EXPECT_EQ(interval.getLoopsDone(), 2u);
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_TRUE(interval.isFinished());
}

TEST(IntervalTest, OneStepOverSeveralPlaysWrapsOnce)
{
    Interval interval(1.0f, 1);
    interval.start();
    interval.setLoopCount(5);
    EXPECT_TRUE(interval.step(3.5f));
    EXPECT_EQ(interval.getLoopCount(), 4);
    EXPECT_EQ(interval.getLoopsDone(), 1u);
    EXPECT_FLOAT_EQ(interval.getTime(), 0.5f);
}

TEST(IntervalTest, ForwardWrapOfAnExactMultipleLandsOnTheEnd)
{
    Interval interval(0.25f, 1);
    interval.loop();
    interval.step(0.5f);
    EXPECT_EQ(interval.getTime(), 0.25f);
    interval.step(100.0f);
    EXPECT_EQ(interval.getTime(), 0.25f);
}

TEST(IntervalTest, LoopCountZeroIsSpent)
{
    Interval interval(1.0f, 1);
    interval.start();
    interval.setLoopCount(0);
    EXPECT_FALSE(interval.step(0.1f));
    EXPECT_EQ(interval.getTime(), 0.0f);
}

TEST(IntervalTest, PausedStepDoesNothing)
{
    Interval interval(1.0f, 1);
    interval.start();
    interval.step(0.2f);
    interval.setPaused(true);
    EXPECT_FALSE(interval.step(0.3f));
    EXPECT_FLOAT_EQ(interval.getTime(), 0.2f);
    interval.setPaused(false);
    EXPECT_TRUE(interval.step(0.3f));
    EXPECT_FLOAT_EQ(interval.getTime(), 0.5f);
}

TEST(IntervalTest, BackwardPlayRunsFromDurationToZero)
{
    Interval interval(1.0f, 1);
    interval.setRate(-2.0f);
    interval.start();
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_TRUE(interval.step(0.25f));
    EXPECT_FLOAT_EQ(interval.getTime(), 0.5f);
    EXPECT_TRUE(interval.step(0.3f));
    EXPECT_EQ(interval.getTime(), 0.0f);
    EXPECT_TRUE(interval.isFinished());
    EXPECT_FALSE(interval.step(0.3f));
}

TEST(IntervalTest, BackwardLoopWrapsUpIntoThePlay)
{
    Interval interval(1.0f, 1);
    interval.setRate(-1.0f);
    interval.loop();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(interval.step(0.3f));
    EXPECT_NEAR(interval.getTime(), 0.8f, 1e-5f);
    EXPECT_EQ(interval.getLoopsDone(), 1u);
    EXPECT_FALSE(interval.isFinished());
}

TEST(IntervalTest, BackwardTimeAboveDurationFollowsTheForwardRule)
{
    // A negative step on a backward interval moves its time up past the end.
    Interval interval(1.0f, 1);
    interval.setRate(-1.0f);
    interval.start();
    EXPECT_TRUE(interval.step(-0.5f));
    EXPECT_EQ(interval.getTime(), 1.0f);
    EXPECT_TRUE(interval.isFinished());
}

TEST(IntervalTest, LoopedZeroLengthIntervalDoesNotHang)
{
    Interval forward(0.0f, 1);
    forward.loop();
    EXPECT_TRUE(forward.step(0.03f));
    EXPECT_TRUE(forward.step(0.03f));
    EXPECT_EQ(forward.getTime(), 0.0f);
    EXPECT_EQ(forward.getLoopsDone(), 2u);
    EXPECT_FALSE(forward.isFinished());

    Interval backward(0.0f, 1);
    backward.setRate(-1.0f);
    backward.loop();
    EXPECT_TRUE(backward.step(0.03f));
    EXPECT_EQ(backward.getTime(), 0.0f);
    EXPECT_EQ(backward.getLoopsDone(), 1u);
}

TEST(IntervalTest, HugeStepOnAShortLoopWrapsQuickly)
{
    Interval forward(0.001f, 1);
    forward.loop();
    EXPECT_TRUE(forward.step(1.0e9f));
    EXPECT_GT(forward.getTime(), 0.0f);
    EXPECT_LE(forward.getTime(), 0.001f);
    EXPECT_EQ(forward.getLoopsDone(), 1u);

    Interval backward(0.001f, 1);
    backward.setRate(-1.0f);
    backward.loop();
    EXPECT_TRUE(backward.step(1.0e9f));
    EXPECT_GE(backward.getTime(), 0.0f);
    EXPECT_LE(backward.getTime(), 0.001f);

    Interval infinite(1.0f, 1);
    infinite.loop();
    EXPECT_TRUE(infinite.step(INFINITY));
}

TEST(IntervalTest, ManyWrapsInOneStepLandWhereRepeatedSubtractionWould)
{
    Interval interval(0.25f, 1);
    interval.loop();
    interval.step(1000.1f);
    EXPECT_NEAR(interval.getTime(), 0.1f, 1e-3f);
}
