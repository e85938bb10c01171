#include "glframework/vectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(VectorTest, LengthAndNormalize)
{
    Vector3 v(3.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(length(v), 5.0f);
    Vector3& same = v.normalize();
    EXPECT_EQ(&same, &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_FLOAT_EQ(v.z, 0.0f);

    const Vector3 w(1.0f, 2.0f, 2.0f);
    EXPECT_FLOAT_EQ(sqrlen(w), 9.0f);
    EXPECT_FLOAT_EQ(length(w), 3.0f);
}

TEST(VectorTest, ArithmeticIsComponentWise)
{
    const Vector3 a(1.0f, -1.0f, 0.5f);
    const Vector3 left = 2.0f * a;
    const Vector3 right = a * 2.0f;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(left[i], right[i]);
    EXPECT_EQ(left.x, 2.0f);
    EXPECT_EQ(left.y, -2.0f);
    EXPECT_EQ(left.z, 1.0f);

    const Vector3 sum = a + Vector3(1.0f, 2.0f, 3.0f);
    const Vector3 difference = a - Vector3(1.0f, 2.0f, 3.0f);
    const Vector3 negated = -a;
    EXPECT_EQ(sum.y, 1.0f);
    EXPECT_EQ(difference.z, -2.5f);
    EXPECT_EQ(negated.x, -1.0f);
    EXPECT_FLOAT_EQ(dot(a, Vector3(2.0f, 3.0f, 4.0f)), 1.0f);

    Vector3 divided(2.0f, 4.0f, 6.0f);
    divided /= 2.0f;
    EXPECT_EQ(divided[0], 1.0f);
    EXPECT_EQ(divided[1], 2.0f);
    EXPECT_EQ(divided[2], 3.0f);
}

TEST(VectorTest, DefaultsAndIndexing)
{
    const Vector3 zero;
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vector4 colour(0.1f, 0.2f, 0.3f, 0.4f);
    colour[3] = 1.0f;
    EXPECT_EQ(colour.w, 1.0f);
    EXPECT_EQ(colour[2], 0.3f);
}

TEST(VectorTest, NormalizingAZeroOrNanVectorLeavesItUnchanged)
{
    Vector3 zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);

    Vector3 broken(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f);
    broken.normalize();
    EXPECT_EQ(broken.y, 1.0f);
}

TEST(VectorTest, FloatFunctions)
{
    EXPECT_FLOAT_EQ(floatCos(0.0f), 1.0f);
    EXPECT_NEAR(floatSin(PI_FLOAT / 2.0f), 1.0f, 1e-6);
    EXPECT_EQ(floatAbs(-2.5f), 2.5f);
    EXPECT_EQ(floatSqrt(16.0f), 4.0f);
}
