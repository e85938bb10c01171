#include "glframework/Interval.h"

#include <cmath>

namespace
{
// A step that passes the end of the play more often than this is first
// reduced with fmod, so that a huge step cannot spin in the wrap loop (or
// never leave it, once subtracting the duration no longer changes the time).
// Ordinary steps never come near it and wrap by plain subtraction.
constexpr float MAX_PLAIN_WRAPS = 64.0f;
} // namespace

Interval::Interval(float duration_, int loopCount_)
    : duration(duration_),
      time(0.0f),
      rate(1.0f),
      loopCount(loopCount_),
      loopsDone(0),
      paused(false),
      finished(false)
{
}

Interval::~Interval() = default;

void Interval::start()
{
    time = rate < 0.0f ? duration : 0.0f;
    loopsDone = 0;
    loopCount = 1;
    paused = false;
    finished = false;
}

void Interval::finish()
{
    time = rate >= 0.0f ? duration : 0.0f;
    markFinished();
}

bool Interval::step(float dt)
{
    if (paused || finished || loopCount == 0)
        return false;

    time = dt * rate + time;
    if (rate < 0.0f && time < 0.0f)
    {
        if (loopCount == 1)
        {
            loopCount = 0;
            time = 0.0f;
            finished = true;
        }
        else
        {
            if (loopCount != -1)
                --loopCount;
            ++loopsDone;
            wrapBackward();
        }
    }
    else if (time > duration)
    {
        if (loopCount == 1)
        {
            loopCount = 0;
            time = duration;
            finished = true;
        }
        else
        {
            if (loopCount != -1)
                --loopCount;
            ++loopsDone;
            wrapForward();
        }
    }
    return true;
}

// Brings a time past the end back into (0, duration]. A repeating interval
// without length has nowhere to wrap to and stays at 0.
void Interval::wrapForward()
{
    if (!(duration > 0.0f))
    {
        time = 0.0f;
        return;
    }
    if (time - duration > duration * MAX_PLAIN_WRAPS)
        time = std::fmod(time, duration) + duration;
    while (time > duration)
        time -= duration;
}

// Brings a time below 0 back into [0, duration).
void Interval::wrapBackward()
{
    if (!(duration > 0.0f))
    {
        time = 0.0f;
        return;
    }
    if (-time > duration * MAX_PLAIN_WRAPS)
        time = std::fmod(time, duration);
    while (time < 0.0f)
        time += duration;
}

void Interval::loop()
{
    start();
    setLoopCount(-1);
}

void Interval::setLoopCount(int n)
{
    loopCount = n;
}

void Interval::setTime(float t)
{
    if (t < 0.0f)
        time = 0.0f;
    else if (t > duration)
        time = duration;
    else
        time = t;
}

void Interval::markFinished()
{
    finished = true;
}

float Interval::getDuration() const
{
    return duration;
}

float Interval::getTime() const
{
    return time;
}

float Interval::getRate() const
{
    return rate;
}

bool Interval::isFinished() const
{
    return finished;
}

int Interval::getLoopCount() const
{
    return loopCount;
}

std::uint32_t Interval::getLoopsDone() const
{
    return loopsDone;
}

bool Interval::isPaused() const
{
    return paused;
}

void Interval::setPaused(bool paused_)
{
    paused = paused_;
}

void Interval::setRate(float rate_)
{
    rate = rate_;
}
