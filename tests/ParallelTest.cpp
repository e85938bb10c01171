#include "support/IntervalProbes.h"

#include "glframework/BlendInterval.h"
#include "glframework/Func.h"
#include "glframework/Parallel.h"
#include "glframework/Sequence.h"
#include "glframework/SineEvaluator.h"
#include "glframework/vectors.h"

#include <gtest/gtest.h>

TEST(ParallelTest, DurationIsTheLongestChildIncludingLaterOnes)
{
    ProbeInterval* slow = new ProbeInterval(1.0f);
    slow->setRate(0.25f);
    Parallel parallel(new ProbeInterval(2.0f), new ProbeInterval(1.0f), nullptr);
    EXPECT_FLOAT_EQ(parallel.getDuration(), 2.0f);
    parallel.append(new ProbeInterval(0.5f));
    EXPECT_FLOAT_EQ(parallel.getDuration(), 2.0f);
    parallel.append(slow);
    EXPECT_FLOAT_EQ(parallel.getDuration(), 4.0f);
    EXPECT_EQ(parallel.getChildCount(), 4);
}

TEST(ParallelTest, ChildGrowingAfterAppendDoesNotChangeTheParent)
{
    Parallel* inner = new Parallel(new ProbeInterval(1.0f), nullptr);
    Parallel outer(inner, nullptr);
    inner->append(new ProbeInterval(3.0f));
    EXPECT_FLOAT_EQ(inner->getDuration(), 3.0f);
    EXPECT_FLOAT_EQ(outer.getDuration(), 1.0f);
}

TEST(ParallelTest, EmptyParallelFinishesOnItsFirstPositiveStep)
{
    Parallel parallel(nullptr);
    EXPECT_EQ(parallel.getChildCount(), 0);
    EXPECT_EQ(parallel.getDuration(), 0.0f);
    parallel.start();
    EXPECT_TRUE(parallel.step(0.03f));
    EXPECT_TRUE(parallel.isFinished());
}

TEST(ParallelTest, StepsEveryChildWithTheWholeStepUntilTheLongestEnds)
{
    ProbeInterval* longer = new ProbeInterval(1.0f);
    ProbeInterval* shorter = new ProbeInterval(0.5f);
    Parallel parallel(longer, shorter, nullptr);
    parallel.start();
    EXPECT_EQ(longer->starts, 1);
    EXPECT_EQ(shorter->starts, 1);

    EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_TRUE(shorter->isFinished());
    EXPECT_FALSE(parallel.isFinished());
    EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_TRUE(parallel.isFinished());
    EXPECT_TRUE(longer->isFinished());
    EXPECT_EQ(longer->steps, 4);
    EXPECT_EQ(shorter->steps, 4);
    EXPECT_EQ(longer->stepped, (std::vector<float>{0.3f, 0.3f, 0.3f, 0.3f}));

    EXPECT_FALSE(parallel.step(0.3f));
    EXPECT_EQ(longer->steps, 4);
}

TEST(ParallelTest, EveryStepResetsTheRate)
{
    Parallel parallel(new ProbeInterval(1.0f), nullptr);
    parallel.start();
    parallel.setRate(3.0f);
    parallel.step(0.1f);
    EXPECT_EQ(parallel.getRate(), 1.0f);
    EXPECT_FLOAT_EQ(parallel.getTime(), 0.1f);
}

TEST(ParallelTest, FinishSkipsChildrenAlreadyFinished)
{
    Target target;
    ProbeInterval* shorter = new ProbeInterval(0.2f);
    ProbeInterval* longer = new ProbeInterval(2.0f);
    Parallel parallel(shorter, longer, new Func<Target>(&target, &Target::count), nullptr);
    parallel.start();
    parallel.step(0.3f);
    ASSERT_TRUE(shorter->isFinished());
    EXPECT_EQ(target.calls, 1);

    parallel.finish();
    EXPECT_TRUE(parallel.isFinished());
    EXPECT_EQ(parallel.getTime(), 2.0f);
    EXPECT_EQ(shorter->finishes, 0);
    EXPECT_EQ(longer->finishes, 1);
    EXPECT_EQ(longer->getTime(), 2.0f);
    EXPECT_EQ(target.calls, 1);
}

TEST(ParallelTest, LoopRestartsEveryChildWhenItWraps)
{
    ProbeInterval* longer = new ProbeInterval(1.0f);
    ProbeInterval* shorter = new ProbeInterval(0.5f);
    Parallel parallel(longer, shorter, nullptr);
    parallel.loop();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_EQ(longer->starts, 1);
    EXPECT_TRUE(shorter->isFinished());

    EXPECT_TRUE(parallel.step(0.3f));
    EXPECT_EQ(parallel.getLoopsDone(), 1u);
    EXPECT_NEAR(parallel.getTime(), 0.2f, 1e-5f);
    EXPECT_EQ(longer->starts, 2);
    EXPECT_EQ(shorter->starts, 2);
    // The restarted children receive the whole step, not the wrapped time.
    EXPECT_FLOAT_EQ(longer->getTime(), 0.3f);
    EXPECT_FALSE(shorter->isFinished());
    EXPECT_FALSE(parallel.isFinished());
}

TEST(ParallelTest, LoopedSineBlendsKeepSwinging)
{
    Target first;
    Target second;
    Parallel parallel(nullptr);
    parallel.append(new BlendInterval<Target, float>(&first, &Target::setValue, 4.0f, 0.0f, 1.0f, new SineEvaluator(4.0f, 0.0f)));
    parallel.append(
        new BlendInterval<Target, float>(&second, &Target::setValue, 4.0f, 0.0f, 1.0f, new SineEvaluator(4.0f, PI_FLOAT)));
    parallel.loop();
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(parallel.step(0.03f));
    EXPECT_FALSE(parallel.isFinished());
    EXPECT_EQ(parallel.getLoopsDone(), 1u);
    // One value at start, one per step, and one more from the restart at the wrap.
    EXPECT_EQ(first.values.size(), 202u);
    for (std::size_t i = 0; i < first.values.size(); ++i)
        EXPECT_NEAR(first.values[i] + second.values[i], 1.0f, 1e-4f);
}

TEST(ParallelTest, DeletingTheRootDeletesTheWholeTree)
{
    int deaths = 0;
    Target target;
    Parallel* root = new Parallel(
        new Sequence(new ProbeInterval(1.0f, &deaths), new ProbeInterval(1.0f, &deaths), nullptr),
        new BlendInterval<Target, float>(&target, &Target::setValue, 1.0f, 0.0f, 1.0f, new ProbeEvaluator(0.5f, &deaths)),
        nullptr);
    root->append(new Parallel(new ProbeInterval(0.5f, &deaths), nullptr));
    root->loop();
    root->step(0.03f);
    delete root;
    EXPECT_EQ(deaths, 4);
}
