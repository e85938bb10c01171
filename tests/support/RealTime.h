#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Real-time waiting for the tests that drive the real game.
using Clock = std::chrono::steady_clock;

// Sleeps for the given seconds.
inline void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Seconds since start.
inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Checks condition every stepSeconds until it holds; false if it still does
// not once timeoutSeconds have passed.
inline bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds, double stepSeconds)
{
    const Clock::time_point start = Clock::now();
    while (!condition())
    {
        if (secondsSince(start) > timeoutSeconds)
            return false;
        pause(stepSeconds);
    }
    return true;
}
