#pragma once

#include <cstdint>
#include <functional>

// Measures the time each frame took and keeps a coarse clock in whole
// seconds. The time sources are replaceable so that the clock can be driven
// by hand (tests) instead of by the machine's monotonic counter.
class FrameClock
{
public:
    // Ticks per second of the high-resolution counter; 0 means there is none.
    using FrequencySource = std::function<std::int64_t()>;
    // The counter's current value in ticks.
    using CounterSource = std::function<std::int64_t()>;
    // Milliseconds since start-up, for the fallback clock.
    using MillisecondSource = std::function<int()>;

    // The longest frame the game is ever advanced by, in seconds.
    static constexpr float MAX_FRAME_DELTA = 0.03f;

    // Uses the monotonic steady clock and GLUT's elapsed time.
    FrameClock();
    FrameClock(FrequencySource frequency, CounterSource counter, MillisecondSource millis);

    // Advances the clock by one frame. The first tick queries the counter's
    // rate and prints "QueryPerformanceFrequency: " with it.
    void tick();

    // Seconds covered by the last tick: never above 0.03, never negative.
    float getFrameDelta() const;
    // Whole seconds of the clock at the last tick; only differences matter.
    double getCurrentTime() const;

private:
    FrequencySource frequencySource;
    CounterSource counterSource;
    MillisecondSource millisecondSource;
    bool started;
    std::int64_t frequency;
    std::int64_t lastCounter;
    int lastTime;
    float frameDelta;
    int currentTime;
};

// The program's one frame clock.
FrameClock& frameClock();
// Ticks the program's clock; called once per idle callback.
void tickFrameClock();
// The last frame's length in seconds (at most 0.03).
float getFrameDelta();
// Whole seconds of the program's clock, as a floating value.
double getCurrentTime();
