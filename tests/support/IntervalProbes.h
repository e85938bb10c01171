#pragma once

#include "glframework/BlendEvaluator.h"
#include "glframework/Interval.h"

#include <vector>

// What the interval tests drive: a float property whose every value is kept,
// an overloaded setter like a sprite's uniform scale, and a counter.
struct Target
{
    std::vector<float> values;
    int calls = 0;

    void setValue(float value) { values.push_back(value); }
    void setScale(float value) { values.push_back(value); }
    void setScale(float, float, float) {}
    void count() { ++calls; }
};

// An interval that counts what is done to it and, through a counter it is
// given, its own destruction.
class ProbeInterval : public Interval
{
public:
    ProbeInterval(float duration_, int* deaths_ = nullptr) : Interval(duration_, 1), deaths(deaths_) {}
    ~ProbeInterval() override
    {
        if (deaths)
            ++*deaths;
    }

    void start() override
    {
        ++starts;
        Interval::start();
    }
    void finish() override
    {
        ++finishes;
        Interval::finish();
    }
    bool step(float dt) override
    {
        ++steps;
        stepped.push_back(dt);
        return Interval::step(dt);
    }

    int starts = 0;
    int finishes = 0;
    int steps = 0;
    std::vector<float> stepped;

private:
    int* deaths;
};

// Hands back a fixed fraction, remembers what it was asked with, and counts
// its own destruction.
class ProbeEvaluator : public BlendEvaluator
{
public:
    ProbeEvaluator(float result_, int* deaths_ = nullptr) : result(result_), deaths(deaths_) {}
    ~ProbeEvaluator() override
    {
        if (deaths)
            ++*deaths;
    }

    float evaluate(float fraction, Interval* interval) override
    {
        lastFraction = fraction;
        lastInterval = interval;
        return result;
    }

    float result;
    float lastFraction = -1.0f;
    Interval* lastInterval = nullptr;

private:
    int* deaths;
};
