#include "glframework/vectors.h"

#include <cmath>

float floatCos(float radians)
{
    return static_cast<float>(std::cos(static_cast<double>(radians)));
}

float floatSin(float radians)
{
    return static_cast<float>(std::sin(static_cast<double>(radians)));
}

float floatAbs(float value)
{
    return static_cast<float>(std::fabs(static_cast<double>(value)));
}

float floatSqrt(float value)
{
    return static_cast<float>(std::sqrt(static_cast<double>(value)));
}

constexpr Vector3 ORIGIN(0.0f, 0.0f, 0.0f);
constexpr Vector3 Z_AXIS(0.0f, 0.0f, 1.0f);
