#include "HighResolutionCounter.h"

#include <chrono>

// The monotonic clock of the C++ library, in its own units (nanoseconds).
std::int64_t HighResolutionCounter::frequency()
{
    using Period = std::chrono::steady_clock::period;
    return static_cast<std::int64_t>(Period::den / Period::num);
}

std::int64_t HighResolutionCounter::now()
{
    static const std::chrono::steady_clock::time_point origin = std::chrono::steady_clock::now();
    return static_cast<std::int64_t>((std::chrono::steady_clock::now() - origin).count());
}
