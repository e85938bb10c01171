#include "glframework/Vector4.h"

float& Vector4::operator[](int i)
{
    // Each field by name: the fields are not an array, so pointer
    // arithmetic from x to the others would be undefined.
    switch (i)
    {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        return w;
    }
}

const float& Vector4::operator[](int i) const
{
    return const_cast<Vector4&>(*this)[i];
}
