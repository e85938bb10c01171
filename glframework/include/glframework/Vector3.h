#pragma once

// Three floats: a position, direction, offset or scale in world units.
// A plain value type, copied member by member.
class Vector3
{
public:
    // The zero vector (0, 0, 0).
    constexpr Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // Component 0, 1 or 2 (x, y, z); any other index gives z.
    float& operator[](int i);
    const float& operator[](int i) const;

    // Divides every component by s, in place.
    Vector3& operator/=(float s);

    // Divides this vector by its own length and returns it. A vector whose
    // squared length is not above 0 (zero, or NaN components) cannot be
    // normalised: it is left unchanged.
    Vector3& normalize();

    float x;
    float y;
    float z;
};

Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a);
Vector3 operator*(const Vector3& a, float s);
Vector3 operator*(float s, const Vector3& a);

// a.x*b.x + a.y*b.y + a.z*b.z, summed in double precision.
float dot(const Vector3& a, const Vector3& b);
// Squared length: dot(a, a).
float sqrlen(const Vector3& a);
// Euclidean length.
float length(const Vector3& a);
