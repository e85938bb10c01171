#include "glframework/FrameClock.h"

#include "support/CoutCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <sstream>

namespace
{
// A hand-driven counter of one million ticks per second.
struct FakeCounter
{
    std::int64_t frequency = 1000000;
    std::int64_t value = 0;
    int milliseconds = 0;

    FrameClock makeClock()
    {
        return FrameClock([this] { return frequency; }, [this] { return value; },
                          [this] { return milliseconds; });
    }
    void advance(double seconds) { value += static_cast<std::int64_t>(seconds * frequency); }
};

} // namespace

TEST(FrameClockTest, FirstTickPrintsTheRateOnceAndHasANearZeroDelta)
{
    FakeCounter counter;
    counter.value = 5 * counter.frequency; // an arbitrary origin far from zero
    FrameClock clock = counter.makeClock();
    CoutCapture capture;

    clock.tick();
    EXPECT_FLOAT_EQ(clock.getFrameDelta(), 0.0f);
    counter.advance(0.01);
    clock.tick();

    EXPECT_EQ(capture.text(), "QueryPerformanceFrequency: 1000000\n");
    EXPECT_NEAR(clock.getFrameDelta(), 0.01f, 1e-6);
}

TEST(FrameClockTest, APauseAdvancesByExactlyTheCap)
{
    FakeCounter counter;
    FrameClock clock = counter.makeClock();
    CoutCapture capture;
    clock.tick();

    counter.advance(2.0);
    clock.tick();
    EXPECT_EQ(clock.getFrameDelta(), 0.03f);

    counter.advance(0.03);
    clock.tick();
    EXPECT_NEAR(clock.getFrameDelta(), 0.03f, 1e-6);
}

TEST(FrameClockTest, CurrentTimeMovesInWholeSeconds)
{
    FakeCounter counter;
    counter.value = 10 * counter.frequency + counter.frequency / 10; // 10.1 s
    FrameClock clock = counter.makeClock();
    CoutCapture capture;

    clock.tick();
    EXPECT_EQ(clock.getCurrentTime(), 10.0);
    counter.advance(0.85); // 10.95 s: same second
    clock.tick();
    EXPECT_EQ(clock.getCurrentTime(), 10.0);
    counter.advance(0.1); // 11.05 s
    clock.tick();
    EXPECT_EQ(clock.getCurrentTime(), 11.0);
}

TEST(FrameClockTest, FallbackClockCountsSecondsAndNeverGoesNegative)
{
    FakeCounter counter;
    counter.frequency = 0;
    counter.milliseconds = 1500;
    FrameClock clock = counter.makeClock();
    CoutCapture capture;

    clock.tick();
    EXPECT_EQ(capture.text(), "QueryPerformanceFrequency: 0\n");
    EXPECT_EQ(clock.getFrameDelta(), 0.0f);
    EXPECT_EQ(clock.getCurrentTime(), 1.0);

    counter.milliseconds = 2100;
    clock.tick();
    EXPECT_EQ(clock.getCurrentTime(), 2.0);
    EXPECT_EQ(clock.getFrameDelta(), 0.03f); // one whole second, capped
}

TEST(FrameClockTest, ProgramClockCanBeReplacedAndDrivesTheFreeFunctions)
{
    FakeCounter counter;
    frameClock() = counter.makeClock();
    CoutCapture capture;

    tickFrameClock();
    counter.advance(0.02);
    tickFrameClock();
    EXPECT_NEAR(getFrameDelta(), 0.02f, 1e-6);
    EXPECT_EQ(getCurrentTime(), 0.0);
    frameClock() = FrameClock();
}

TEST(FrameClockTest, RealClockCountsFromItsFirstReadSoFloatSecondsStayExact)
{
    FrameClock clock;
    CoutCapture capture;
    clock.tick();
    clock.tick();
    // Seconds since the machine booted can pass what a float holds exactly.
    EXPECT_LT(clock.getCurrentTime(), 60.0);
    EXPECT_GE(clock.getFrameDelta(), 0.0f);
    EXPECT_LE(clock.getFrameDelta(), 0.03f);
}
