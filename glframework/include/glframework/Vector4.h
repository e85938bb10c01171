#pragma once

// Four floats; as a colour: red, green, blue and opacity, each 0..1.
class Vector4
{
public:
    // (0, 0, 0, 0).
    constexpr Vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    // Component 0..3 (x, y, z, w); any other index gives w.
    float& operator[](int i);
    const float& operator[](int i) const;

    float x;
    float y;
    float z;
    float w;
};
