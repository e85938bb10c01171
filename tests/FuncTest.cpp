#include "support/IntervalProbes.h"

#include "glframework/Func.h"

#include <gtest/gtest.h>

TEST(FuncTest, FirstPositiveStepCallsOnceAndFinishes)
{
    Target target;
    Func<Target> func(&target, &Target::count);
    func.start();
    EXPECT_EQ(target.calls, 0);
    EXPECT_TRUE(func.step(0.03f));
    EXPECT_EQ(target.calls, 1);
    EXPECT_TRUE(func.isFinished());
    EXPECT_FALSE(func.step(0.03f));
    EXPECT_EQ(target.calls, 1);
}

TEST(FuncTest, ZeroStepCallsWithoutFinishing)
{
    Target target;
    Func<Target> func(&target, &Target::count);
    func.start();
    EXPECT_TRUE(func.step(0.0f));
    EXPECT_EQ(target.calls, 1);
    EXPECT_FALSE(func.isFinished());
    EXPECT_TRUE(func.step(0.03f));
    EXPECT_EQ(target.calls, 2);
    EXPECT_TRUE(func.isFinished());
}

TEST(FuncTest, FinishCallsOnlyIfItHasNotRun)
{
    Target target;
    Func<Target> never(&target, &Target::count);
    never.finish();
    EXPECT_EQ(target.calls, 1);
    EXPECT_TRUE(never.isFinished());
    never.finish();
    EXPECT_EQ(target.calls, 1);

    Target other;
    Func<Target> ran(&other, &Target::count);
    ran.start();
    ran.step(0.03f);
    ran.finish();
    EXPECT_EQ(other.calls, 1);
}

TEST(FuncTest, PausedStepDoesNotCall)
{
    Target target;
    Func<Target> func(&target, &Target::count);
    func.start();
    func.setPaused(true);
    EXPECT_FALSE(func.step(0.03f));
    EXPECT_EQ(target.calls, 0);
}

TEST(FuncTest, RunsOncePerPlay)
{
    Target target;
    Func<Target> func(&target, &Target::count);
    func.start();
    func.step(0.03f);
    func.start();
    func.step(0.03f);
    func.step(0.03f);
    EXPECT_EQ(target.calls, 2);
}

TEST(FuncTest, DeletingLeavesTheTargetAlone)
{
    Target target;
    Interval* func = new Func<Target>(&target, &Target::count);
    func->start();
    delete func;
    EXPECT_EQ(target.calls, 0);
    target.count();
    EXPECT_EQ(target.calls, 1);
}
