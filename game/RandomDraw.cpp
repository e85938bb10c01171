#include "RandomDraw.h"

#include <cstdint>

namespace
{
// An additive feedback generator: r[i] = r[i - 3] + r[i - 31] (mod 2^32),
// each result r[i] >> 1. The last 31 words are kept in a ring: front holds
// r[i - 31], the oldest, which the new word replaces, and rear r[i - 3].
constexpr int DEGREE = 31;
constexpr int SEPARATION = 3;
// Results thrown away after seeding, so that nearby seeds part at once.
constexpr int WARM_UP = 10 * DEGREE;

struct Generator
{
    std::uint32_t words[DEGREE];
    int front;
    int rear;

    constexpr std::uint32_t next()
    {
        words[front] += words[rear];
        const std::uint32_t result = words[front] >> 1;
        front = front + 1 == DEGREE ? 0 : front + 1;
        rear = rear + 1 == DEGREE ? 0 : rear + 1;
        return result;
    }
};

constexpr Generator seeded(unsigned int seed)
{
    Generator generator{};
    if (seed == 0)
        seed = 1;
    // The first words follow the minimal standard generator,
    // word = 16807 * word mod (2^31 - 1), in Schrage's form. The seed is
    // taken as a signed 32-bit word, so that seeds of 2^31 and above start
    // from a negative word as the C library's do.
    std::int32_t word = static_cast<std::int32_t>(seed);
    generator.words[0] = seed;
    for (int i = 1; i < DEGREE; ++i)
    {
        const std::int64_t high = word / 127773;
        const std::int64_t low = word % 127773;
        word = static_cast<std::int32_t>(16807 * low - 2836 * high);
        if (word < 0)
            word += 2147483647;
        generator.words[i] = static_cast<std::uint32_t>(word);
    }
    generator.front = SEPARATION;
    generator.rear = 0;
    for (int i = 0; i < WARM_UP; ++i)
        generator.next();
    return generator;
}

// Built while compiling: ready before any code runs, whatever the order in
// which the program's objects are constructed.
constexpr Generator UNSEEDED = seeded(1);
Generator generator = UNSEEDED;
} // namespace

int randomDraw()
{
    return static_cast<int>(generator.next() >> 16);
}

double randomFraction()
{
    return randomDraw() / static_cast<double>(RANDOM_DRAW_MAX);
}

void seedRandomDraw(unsigned int seed)
{
    generator = seeded(seed);
}
