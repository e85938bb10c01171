#include "glframework/Vector4.h"

float& Vector4::operator[](int i)
{
    return (&x)[i];
}

const float& Vector4::operator[](int i) const
{
    return (&x)[i];
}
