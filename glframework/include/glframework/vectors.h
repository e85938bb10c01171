#pragma once

#include "glframework/Vector3.h"
#include "glframework/Vector4.h"

// Float maths through the standard double-precision functions.
float floatCos(float radians);
float floatSin(float radians);
float floatAbs(float value);
float floatSqrt(float value);

// Fixed points shared by several modules.
extern const Vector3 ORIGIN;        // (0, 0, 0)
extern const Vector3 Z_AXIS;        // (0, 0, 1)
extern const Vector3 upperCentre;   // (0, 150, 0): centre of the board's upper small circle
extern const Vector3 lowerCentre;   // (0, -150, 0): centre of the board's lower small circle
