#include "glframework/Vector3.h"

#include <cmath>

float& Vector3::operator[](int i)
{
    // Each field by name: the fields are not an array, so pointer
    // arithmetic from x to the others would be undefined.
    switch (i)
    {
    case 0:
        return x;
    case 1:
        return y;
    default:
        return z;
    }
}

const float& Vector3::operator[](int i) const
{
    return const_cast<Vector3&>(*this)[i];
}

Vector3& Vector3::operator/=(float s)
{
    x = static_cast<float>(static_cast<double>(x) / s);
    y = static_cast<float>(static_cast<double>(y) / s);
    z = static_cast<float>(static_cast<double>(z) / s);
    return *this;
}

Vector3& Vector3::normalize()
{
    // The negated test also refuses NaN, so callers meeting two pucks at one
    // point or a click on a puck's centre keep a harmless unchanged vector.
    if (!(sqrlen(*this) > 0.0f))
        return *this;
    const double len = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                 static_cast<double>(z) * z);
    x = static_cast<float>(x / len);
    y = static_cast<float>(y / len);
    z = static_cast<float>(z / len);
    return *this;
}

Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(static_cast<float>(static_cast<double>(a.x) + b.x),
                   static_cast<float>(static_cast<double>(a.y) + b.y),
                   static_cast<float>(static_cast<double>(a.z) + b.z));
}

Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(static_cast<float>(static_cast<double>(a.x) - b.x),
                   static_cast<float>(static_cast<double>(a.y) - b.y),
                   static_cast<float>(static_cast<double>(a.z) - b.z));
}

Vector3 operator-(const Vector3& a)
{
    return Vector3(-a.x, -a.y, -a.z);
}

Vector3 operator*(const Vector3& a, float s)
{
    return Vector3(static_cast<float>(static_cast<double>(a.x) * s),
                   static_cast<float>(static_cast<double>(a.y) * s),
                   static_cast<float>(static_cast<double>(a.z) * s));
}

Vector3 operator*(float s, const Vector3& a)
{
    return a * s;
}

float dot(const Vector3& a, const Vector3& b)
{
    double sum = static_cast<double>(a.x) * b.x;
    sum += static_cast<double>(a.y) * b.y;
    sum += static_cast<double>(a.z) * b.z;
    return static_cast<float>(sum);
}

float sqrlen(const Vector3& a)
{
    return dot(a, a);
}

float length(const Vector3& a)
{
    return static_cast<float>(std::sqrt(static_cast<double>(dot(a, a))));
}
