#pragma once

#include "glframework/Vector3.h"

// Where the yin-yang board lies, in board units (the camera's world units),
// centred on the origin. Everything that draws the board, moves pucks over it
// or asks which half a point is in reads its measures from here.

// The disc's radius: the rim that holds the pucks.
constexpr float BOARD_RADIUS = 300.0f;
// The side of the square picture layers that draw the disc.
constexpr float BOARD_SIZE = 2.0f * BOARD_RADIUS;
// The radius of the two small circles inside the disc.
constexpr float SMALL_CIRCLE_RADIUS = 150.0f;
// The small circle at the top belongs to the left half.
constexpr Vector3 upperCentre(0.0f, SMALL_CIRCLE_RADIUS, 0.0f);
// The small circle at the bottom belongs to the right half.
constexpr Vector3 lowerCentre(0.0f, -SMALL_CIRCLE_RADIUS, 0.0f);

// True when point lies in the board's left half: inside the upper small
// circle, or left of (or on) the vertical centre line outside the lower one.
inline bool isInLeftHalf(const Vector3& point)
{
    const float radiusSquared = SMALL_CIRCLE_RADIUS * SMALL_CIRCLE_RADIUS;
    if (sqrlen(point - upperCentre) <= radiusSquared)
        return true;
    if (sqrlen(point - lowerCentre) <= radiusSquared)
        return false;
    return point.x <= 0.0f;
}
