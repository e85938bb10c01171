#pragma once

// The game's one source of chance: a generator of its own, never seeded by
// the game, so that every run deals the same first board and later games
// continue the same sequence, on every platform and whatever else in the
// process calls the C library's rand. Its results are those of the GNU C
// library's rand, which the boards were first dealt with.

// The largest value randomDraw returns.
constexpr int RANDOM_DRAW_MAX = 32767;

// A uniform whole number from 0 to RANDOM_DRAW_MAX: the top 15 bits of the
// generator's next 31-bit result.
int randomDraw();

// One draw as a fraction from 0 to 1: randomDraw() / 32767.0.
double randomFraction();

// Restarts the draws as srand(seed) restarts the GNU C library's rand: the
// draws that follow are the top 15 bits of the rand() results that would
// follow srand(seed). Before any call the draws are those of seed 1. The
// game never calls it; tests do, to replay a sequence.
void seedRandomDraw(unsigned int seed);
