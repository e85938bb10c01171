#include "glframework/Camera.h"

#include <gtest/gtest.h>

namespace
{
class ScreenToWorldTest : public ::testing::Test
{
protected:
    void SetUp() override { setActiveCamera(&camera); }
    void TearDown() override { setActiveCamera(nullptr); }

    void expectPoint(int x, int y, float wx, float wy)
    {
        const Vector3 p = screenToWorld(x, y);
        EXPECT_FLOAT_EQ(p.x, wx) << "pixel " << x << "," << y;
        EXPECT_FLOAT_EQ(p.y, wy) << "pixel " << x << "," << y;
        EXPECT_EQ(p.z, 0.0f);
    }

    Camera camera;
};
} // namespace

TEST_F(ScreenToWorldTest, CornersAndCentreOfAnEightHundredPixelWindow)
{
    expectPoint(0, 0, -400.0f, 300.0f);
    expectPoint(400, 300, 0.0f, 0.0f);
    expectPoint(800, 600, 400.0f, -300.0f);
}

TEST_F(ScreenToWorldTest, WiderWindowsMapOntoTheSameWorld)
{
    camera.width = 1600;
    expectPoint(1600, 1200, 400.0f, -300.0f);
    expectPoint(800, 600, 0.0f, 0.0f);

    camera.width = 1000;
    expectPoint(0, 0, -400.0f, 300.0f);
    expectPoint(250, 375, -200.0f, 0.0f);

    camera.width = 400;
    expectPoint(100, 150, -200.0f, 0.0f);
}

TEST_F(ScreenToWorldTest, WithoutACameraAnEightHundredPixelWindowIsAssumed)
{
    setActiveCamera(nullptr);
    expectPoint(400, 300, 0.0f, 0.0f);
}
