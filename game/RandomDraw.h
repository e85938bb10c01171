#pragma once

// The game's one source of chance: the C library's rand, never seeded, so
// that every run plays the same first game and later games continue the same
// sequence. Each call to randomDraw takes exactly one rand call.

// The largest value randomDraw returns.
constexpr int RANDOM_DRAW_MAX = 32767;

// A uniform whole number from 0 to RANDOM_DRAW_MAX: the top 15 bits of one
// rand value (rand here spans 0..2147483647, far wider than the board's
// formulas expect).
int randomDraw();

// One draw as a fraction from 0 to 1: randomDraw() / 32767.0.
double randomFraction();
