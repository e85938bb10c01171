#pragma once

#include <cstdint>
#include <tuple>
#include <type_traits>

// A timed animation: a play of `duration` seconds that its owner starts (or
// loops), advances with the frame delta once per frame, and asks whether it
// has run out. Subclasses drive something over that time (Func,
// BlendInterval) or run other intervals (Sequence, Parallel); they override
// the three time operations and call the base versions for the bookkeeping.
//
// Intervals are owned through plain pointers by whoever created them, or by
// the composite they were handed to; they cannot be copied.
class Interval
{
public:
    // loopCount: plays still to run; 1 = one play, -1 = endless.
    Interval(float duration, int loopCount);
    virtual ~Interval();

    Interval(const Interval&) = delete;
    Interval& operator=(const Interval&) = delete;

    // Rewinds for one play: time to 0 (to the duration when the rate is
    // negative), no wraps done, one play to run, not paused, not finished.
    virtual void start();
    // Jumps to the end of the play (0 when the rate is negative) and marks
    // the interval finished; the loop count is left alone.
    virtual void finish();
    // Advances by dt seconds times the rate. A play that ends is clamped to
    // its end and finishes the interval if it was the last one, otherwise the
    // time wraps back into the play. Returns false when it did nothing
    // (paused, finished or spent), true otherwise.
    virtual bool step(float dt);

    // Starts the interval (through the virtual start) and makes it repeat
    // until it is deleted; it never finishes on its own.
    void loop();
    void setLoopCount(int n);
    // Places the clock at t, clamped to 0..duration; nothing is applied.
    void setTime(float t);
    // Sets the finished flag and touches nothing else.
    void markFinished();

    float getDuration() const;
    float getTime() const;
    float getRate() const;
    bool isFinished() const;
    int getLoopCount() const;
    // Wraps since the last start.
    std::uint32_t getLoopsDone() const;
    bool isPaused() const;

    // While paused, step does nothing and returns false.
    void setPaused(bool paused);
    // Speed factor applied to every step; negative plays from the duration
    // down to 0. Composites divide by their children's rates: never pass 0.
    void setRate(float rate);

protected:
    float duration;
    float time;
    float rate;
    std::int32_t loopCount;
    std::uint32_t loopsDone;
    bool paused;
    bool finished;

private:
    void wrapForward();
    void wrapBackward();
};

namespace interval_detail
{
// True when a composite's constructor arguments are interval pointers ending
// with a literal nullptr, as in Sequence(first, second, nullptr).
template <class... Listed>
constexpr bool isChildList()
{
    if constexpr (sizeof...(Listed) == 0)
        return false;
    else
    {
        using Last = std::tuple_element_t<sizeof...(Listed) - 1, std::tuple<Listed...>>;
        return (std::is_convertible_v<Listed, Interval*> && ...) && std::is_null_pointer_v<Last>;
    }
}
} // namespace interval_detail
