#include "HighResolutionCounter.h"

#include <emscripten.h>

namespace
{
// The browser's clock (performance.now) gives milliseconds with a fraction
// whose fineness the browser limits; counted here in microseconds.
constexpr std::int64_t COUNTS_PER_SECOND = 1000000;

double microseconds()
{
    return emscripten_get_now() * (COUNTS_PER_SECOND / 1000.0);
}
} // namespace

std::int64_t HighResolutionCounter::frequency()
{
    return COUNTS_PER_SECOND;
}

std::int64_t HighResolutionCounter::now()
{
    static const double origin = microseconds();
    return static_cast<std::int64_t>(microseconds() - origin);
}
