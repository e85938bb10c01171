#pragma once

#include "glframework/Vector3.h"
#include "glframework/Vector4.h"

// Float maths through the standard double-precision functions.
float floatCos(float radians);
float floatSin(float radians);
float floatAbs(float value);
float floatSqrt(float value);

// The value of pi that angles in degrees and sine curves are worked out with;
// five decimals, which the drawn pictures depend on, so it stays as it is.
constexpr double PI = 3.14159;
// The same value in single precision, as the float angles and phases take it.
constexpr float PI_FLOAT = static_cast<float>(PI);

// Fixed points.
extern const Vector3 ORIGIN;        // (0, 0, 0)
extern const Vector3 Z_AXIS;        // (0, 0, 1)
