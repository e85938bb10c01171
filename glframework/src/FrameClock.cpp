#include "glframework/FrameClock.h"

#include "glframework/Log.h"

#include "HighResolutionCounter.h"

#include <GL/glut.h>

#include <utility>

namespace
{
int glutMilliseconds()
{
    return glutGet(GLUT_ELAPSED_TIME);
}
} // namespace

FrameClock::FrameClock()
    : FrameClock(HighResolutionCounter::frequency, HighResolutionCounter::now, glutMilliseconds)
{
}

FrameClock::FrameClock(FrequencySource frequency_, CounterSource counter, MillisecondSource millis)
    : frequencySource(std::move(frequency_)), counterSource(std::move(counter)),
      millisecondSource(std::move(millis)), started(false), frequency(0), lastCounter(0),
      lastTime(0), frameDelta(0.0f), currentTime(0)
{
}

void FrameClock::tick()
{
    if (!started)
    {
        // A flag of its own marks the first tick: an elapsed time of 0 ms must
        // not make the next tick count as the first again.
        started = true;
        frequency = frequencySource();
        if (frequency > 0)
            lastCounter = counterSource();
        else
            frequency = 0;
        // The fallback clock works in whole seconds from its first tick, so
        // that its first delta is 0 rather than a negative mix of units.
        lastTime = static_cast<int>(millisecondSource() / 1000.0);
        logLine("QueryPerformanceFrequency: ", frequency);
    }

    if (frequency > 0)
    {
        const std::int64_t counter = counterSource();
        frameDelta = static_cast<float>(static_cast<double>(counter - lastCounter) /
                                        static_cast<double>(frequency));
        currentTime = static_cast<int>(static_cast<double>(counter) / static_cast<double>(frequency));
        lastCounter = counter;
    }
    else
    {
        currentTime = static_cast<int>(millisecondSource() / 1000.0);
        frameDelta = static_cast<float>(currentTime - lastTime);
        lastTime = currentTime;
    }

    if (frameDelta > MAX_FRAME_DELTA)
        frameDelta = MAX_FRAME_DELTA;
    if (frameDelta < 0.0f)
        frameDelta = 0.0f;
}

float FrameClock::getFrameDelta() const
{
    return frameDelta;
}

double FrameClock::getCurrentTime() const
{
    return static_cast<double>(currentTime);
}

FrameClock& frameClock()
{
    static FrameClock clock;
    return clock;
}

void tickFrameClock()
{
    frameClock().tick();
}

float getFrameDelta()
{
    return frameClock().getFrameDelta();
}

double getCurrentTime()
{
    return frameClock().getCurrentTime();
}
