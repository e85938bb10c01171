#include "RandomDraw.h"

#include <cstdlib>

static_assert(RAND_MAX == 0x7FFFFFFF, "one draw is the top 15 bits of a 31-bit rand value");

int randomDraw()
{
    return std::rand() >> 16;
}

double randomFraction()
{
    return randomDraw() / static_cast<double>(RANDOM_DRAW_MAX);
}
