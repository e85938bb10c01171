#pragma once

#include <cstdint>

// The platform's high-resolution clock, which the frame clock reads: a
// counter that only goes forward, and how many counts make a second.
class HighResolutionCounter
{
public:
    HighResolutionCounter() = delete;

    // Counts per second; never 0.
    static std::int64_t frequency();
    // Counts since the first read, so that whole seconds stay exact when
    // screens keep them in a float.
    static std::int64_t now();
};
