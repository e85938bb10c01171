#pragma once

#include <chrono>
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
