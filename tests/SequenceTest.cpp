#include "support/IntervalProbes.h"

#include "glframework/BlendInterval.h"
#include "glframework/Func.h"
#include "glframework/Parallel.h"
#include "glframework/Sequence.h"

#include <gtest/gtest.h>

TEST(SequenceTest, DurationIsTheSumIncludingLaterChildren)
{
    ProbeInterval* fast = new ProbeInterval(1.0f);
    fast->setRate(2.0f);
    ProbeInterval* backward = new ProbeInterval(3.0f);
    backward->setRate(-1.5f);
    Sequence sequence(new ProbeInterval(1.25f), fast, nullptr);
    EXPECT_FLOAT_EQ(sequence.getDuration(), 1.75f);
    EXPECT_EQ(sequence.getChildCount(), 2);

    sequence.append(backward);
    EXPECT_FLOAT_EQ(sequence.getDuration(), 3.75f);
    EXPECT_EQ(sequence.getChildCount(), 3);
    EXPECT_EQ(sequence.getLoopCount(), 1);
}

TEST(SequenceTest, ChildGrowingAfterAppendDoesNotChangeTheParent)
{
    Sequence* inner = new Sequence(new ProbeInterval(1.0f), nullptr);
    Sequence outer(inner, nullptr);
    inner->append(new ProbeInterval(2.0f));
    EXPECT_FLOAT_EQ(inner->getDuration(), 3.0f);
    EXPECT_FLOAT_EQ(outer.getDuration(), 1.0f);
}

TEST(SequenceTest, StartStartsOnlyTheFirstChild)
{
    ProbeInterval* first = new ProbeInterval(1.0f);
    ProbeInterval* second = new ProbeInterval(1.0f);
    Sequence sequence(first, second, nullptr);
    sequence.start();
    EXPECT_EQ(first->starts, 1);
    EXPECT_EQ(second->starts, 0);
    EXPECT_EQ(sequence.getCurrent(), 0);
}

TEST(SequenceTest, LeftOverTimeRunsOnThroughAFuncIntoTheNextBlend)
{
    Target first;
    Target func;
    Target second;
    auto* firstBlend = new BlendInterval<Target, float>(&first, &Target::setValue, 1.0f, 0.0f, 1.0f, nullptr);
    Sequence sequence(firstBlend, new Func<Target>(&func, &Target::count),
                      new BlendInterval<Target, float>(&second, &Target::setValue, 1.0f, 10.0f, 20.0f, nullptr), nullptr);
    EXPECT_FLOAT_EQ(sequence.getDuration(), 2.0f);
    sequence.start();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(sequence.step(0.3f));
    EXPECT_NEAR(first.values.back(), 0.9f, 1e-5f);
    EXPECT_EQ(func.calls, 0);
    EXPECT_TRUE(second.values.empty());
    EXPECT_EQ(sequence.getCurrent(), 0);

    EXPECT_TRUE(sequence.step(0.3f));
    EXPECT_EQ(first.values.back(), 1.0f);
    EXPECT_TRUE(firstBlend->isFinished());
    EXPECT_EQ(func.calls, 1);
    ASSERT_EQ(second.values.size(), 2u);
    EXPECT_EQ(second.values[0], 10.0f);
    EXPECT_NEAR(second.values[1], 12.0f, 1e-4f);
    EXPECT_EQ(sequence.getCurrent(), 2);
    EXPECT_NEAR(sequence.getTime(), 1.2f, 1e-5f);
    EXPECT_FALSE(sequence.isFinished());
}

TEST(SequenceTest, ExactlyUsedUpChildIsPassedAndTheNextOnlyStarted)
{
    ProbeInterval* first = new ProbeInterval(0.5f);
    ProbeInterval* second = new ProbeInterval(0.5f);
    Sequence sequence(first, second, nullptr);
    sequence.start();
    EXPECT_TRUE(sequence.step(0.5f));
    EXPECT_FALSE(first->isFinished());
    EXPECT_EQ(sequence.getCurrent(), 1);
    EXPECT_EQ(second->starts, 1);
    EXPECT_EQ(second->steps, 0);
}

TEST(SequenceTest, PassingTheLastChildFinishesIt)
{
    ProbeInterval* only = new ProbeInterval(0.5f);
    Sequence sequence(only, nullptr);
    sequence.start();
    EXPECT_TRUE(sequence.step(0.3f));
    EXPECT_TRUE(sequence.step(0.3f));
    EXPECT_TRUE(sequence.isFinished());
    EXPECT_EQ(sequence.getCurrent(), sequence.getChildCount());
    EXPECT_EQ(sequence.getTime(), 0.5f);
    EXPECT_TRUE(only->isFinished());

    EXPECT_FALSE(sequence.step(0.3f));
    EXPECT_EQ(only->steps, 2);
}

TEST(SequenceTest, FinishFinishesTheRunningChildAndLaterOnesOnce)
{
    Target target;
    Target pending;
    ProbeInterval* done = new ProbeInterval(0.2f);
    ProbeInterval* running = new ProbeInterval(1.0f);
    ProbeInterval* later = new ProbeInterval(1.0f);
    auto* blend = new BlendInterval<Target, float>(&pending, &Target::setValue, 1.0f, 5.0f, 9.0f, nullptr);
    Sequence sequence(done, running, new Func<Target>(&target, &Target::count), later, blend, nullptr);
    sequence.start();
    sequence.step(0.5f);
    ASSERT_EQ(sequence.getCurrent(), 1);

    sequence.finish();
    EXPECT_TRUE(sequence.isFinished());
    EXPECT_FLOAT_EQ(sequence.getTime(), sequence.getDuration());
    EXPECT_EQ(done->finishes, 0);
    EXPECT_EQ(running->finishes, 1);
    EXPECT_EQ(later->finishes, 1);
    EXPECT_EQ(target.calls, 1);
    ASSERT_EQ(pending.values.size(), 1u);
    EXPECT_EQ(pending.values.back(), 9.0f);
    EXPECT_FALSE(sequence.step(0.1f));
}

TEST(SequenceTest, LoopWrapsIntoTheNextCycleWithinOneStep)
{
    Target target;
    ProbeInterval* probe = new ProbeInterval(0.5f);
    Sequence sequence(probe, new Func<Target>(&target, &Target::count), nullptr);
    sequence.loop();
    EXPECT_EQ(sequence.getLoopCount(), -1);
    EXPECT_TRUE(sequence.step(0.6f));
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(probe->starts, 2);
    EXPECT_EQ(sequence.getCurrent(), 0);
    EXPECT_NEAR(sequence.getTime(), 0.1f, 1e-5f);
    EXPECT_NEAR(probe->getTime(), 0.1f, 1e-5f);
    EXPECT_FALSE(sequence.isFinished());
    EXPECT_EQ(sequence.getLoopCount(), -1);
}

TEST(SequenceTest, OneStepCanPlaySeveralCycles)
{
    Target target;
    Sequence sequence(new ProbeInterval(0.1f), new Func<Target>(&target, &Target::count), nullptr);
    sequence.loop();
    EXPECT_TRUE(sequence.step(0.35f));
    EXPECT_EQ(target.calls, 3);
    EXPECT_NEAR(sequence.getTime(), 0.05f, 1e-5f);
}

TEST(SequenceTest, LoopCountPlaysThatManyTimes)
{
    Target target;
    Sequence sequence(new ProbeInterval(0.5f), new Func<Target>(&target, &Target::count), nullptr);
    sequence.start();
    sequence.setLoopCount(2);
    int steps = 0;
    while (!sequence.isFinished() && steps < 100)
    {
        sequence.step(0.2f);
        ++steps;
    }
    EXPECT_EQ(target.calls, 2);
    EXPECT_EQ(sequence.getLoopCount(), 0);
    EXPECT_EQ(sequence.getTime(), 0.5f);
}

TEST(SequenceTest, PausedDoesNothing)
{
    ProbeInterval* probe = new ProbeInterval(1.0f);
    Sequence sequence(probe, nullptr);
    sequence.start();
    sequence.setPaused(true);
    EXPECT_FALSE(sequence.step(0.3f));
    EXPECT_EQ(probe->steps, 0);
    EXPECT_EQ(sequence.getTime(), 0.0f);
}

TEST(SequenceTest, EmptySequenceIsSafe)
{
    Sequence sequence(nullptr);
    EXPECT_EQ(sequence.getDuration(), 0.0f);
    EXPECT_EQ(sequence.getChildCount(), 0);
    sequence.start();
    EXPECT_FALSE(sequence.step(0.03f));
    sequence.loop();
    EXPECT_FALSE(sequence.step(0.03f));
    sequence.finish();
    EXPECT_TRUE(sequence.isFinished());
}

TEST(SequenceTest, LoopedSequenceWithoutLengthPlaysOneCyclePerStep)
{
    Target target;
    Sequence sequence(new Func<Target>(&target, &Target::count), nullptr);
    sequence.loop();
    EXPECT_TRUE(sequence.step(0.03f));
    EXPECT_EQ(target.calls, 1);
    EXPECT_TRUE(sequence.step(0.03f));
    EXPECT_EQ(target.calls, 2);
    EXPECT_FALSE(sequence.isFinished());
}

TEST(SequenceTest, NullChildrenAreSkipped)
{
    int deaths = 0;
    Interval* nothing = nullptr;
    Sequence* sequence = new Sequence(new ProbeInterval(1.0f, &deaths), nothing, new ProbeInterval(1.0f, &deaths), nullptr);
    sequence->append(nullptr);
    EXPECT_EQ(sequence->getChildCount(), 2);
    EXPECT_FLOAT_EQ(sequence->getDuration(), 2.0f);
    delete sequence;
    EXPECT_EQ(deaths, 2);
}

TEST(SequenceTest, DeletingTheRootDeletesTheWholeTree)
{
    int deaths = 0;
    Target target;
    Sequence* root = new Sequence(
        new Parallel(new ProbeInterval(1.0f, &deaths), new ProbeInterval(2.0f, &deaths), nullptr),
        new BlendInterval<Target, float>(&target, &Target::setValue, 1.0f, 0.0f, 1.0f, new ProbeEvaluator(0.5f, &deaths)),
        new Sequence(new ProbeInterval(1.0f, &deaths), new Func<Target>(&target, &Target::count), nullptr), nullptr);
    root->append(new ProbeInterval(0.5f, &deaths));
    root->start();
    root->step(0.1f);
    delete root;
    EXPECT_EQ(deaths, 5);
}
