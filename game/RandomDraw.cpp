#include "RandomDraw.h"

#include <cstdlib>

namespace
{
// How far the top 15 bits of a rand value lie from its lowest bit.
int drawShift()
{
    int shift = 0;
    for (long long top = RAND_MAX; top > RANDOM_DRAW_MAX; top >>= 1)
        ++shift;
    return shift;
}
} // namespace

int randomDraw()
{
    static const int shift = drawShift();
    return std::rand() >> shift;
}

double randomFraction()
{
    return randomDraw() / static_cast<double>(RANDOM_DRAW_MAX);
}
