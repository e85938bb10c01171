#include "support/CoutCapture.h"
#include "support/GlTestWindow.h"

#include "glframework/Camera.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

namespace
{
class CameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureGlTestWindow();
        const CoutCapture quiet; // the camera's constructor logs a line
        camera = new Camera;
        camera->setPerspective(0);
        camera->position.z = -50.0f;
        setActiveCamera(camera);
    }
    void TearDown() override
    {
        setActiveCamera(nullptr);
        delete camera;
    }

    // Window pixel (from the bottom-left corner) and depth of a world point
    // under the current matrices and viewport.
    static void project(double x, double y, double z, double& px, double& py, double& pz)
    {
        GLdouble model[16];
        GLdouble projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(x, y, z, model, projection, viewport, &px, &py, &pz);
    }

    static void viewport(GLint out[4]) { glGetIntegerv(GL_VIEWPORT, out); }

    Camera* camera = nullptr;
};
} // namespace

TEST_F(CameraTest, FirstReshapeKeepsEightHundredBySixHundredAtScaleOne)
{
    camera->reshape(800, 600);
    EXPECT_EQ(camera->width, 800);
    EXPECT_EQ(camera->height, 600);
    EXPECT_DOUBLE_EQ(camera->aspect, 800.0 / 600.0);

    GLint vp[4];
    viewport(vp);
    EXPECT_EQ(vp[2], 800);
    EXPECT_EQ(vp[3], 600);

    double px, py, pz;
    project(0, 0, 0, px, py, pz);
    EXPECT_NEAR(px, 400.375, 1e-3);
    EXPECT_NEAR(py, 300.375, 1e-3);
    project(-400, -300, 0, px, py, pz);
    EXPECT_NEAR(px, 0.375, 1e-3);
    EXPECT_NEAR(py, 0.375, 1e-3);
    project(100, 50, 0, px, py, pz);
    EXPECT_NEAR(px, 500.375, 1e-3);
    EXPECT_NEAR(py, 350.375, 1e-3);
}

TEST_F(CameraTest, ReshapeForcesFourByThreeAndKeepsTheWorldSpan)
{
    camera->reshape(1000, 500);
    EXPECT_EQ(camera->width, 1000);
    EXPECT_EQ(camera->height, 750);
    EXPECT_DOUBLE_EQ(camera->aspect, 1000.0 / 750.0);

    GLint vp[4];
    viewport(vp);
    EXPECT_EQ(vp[2], 1000);
    EXPECT_EQ(vp[3], 750);

    double px, py, pz;
    project(-400, 300, 0, px, py, pz);
    EXPECT_NEAR(px, 0.375, 1e-3);
    EXPECT_NEAR(py, 750.375, 1e-3);
    project(400, -300, 0, px, py, pz);
    EXPECT_NEAR(px, 1000.375, 1e-3);
    EXPECT_NEAR(py, 0.375, 1e-3);

    // The window itself is asked to take the new shape.
    pumpGlutEvents(0.3);
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), 1000);
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 750);
    camera->reshape(800, 600);
    pumpGlutEvents(0.3);
}

TEST_F(CameraTest, OddWidthsTruncateTheHeightAndTheHalves)
{
    camera->reshape(801, 10);
    EXPECT_EQ(camera->height, 600); // 600.75 truncated
    double px, py, pz;
    project(0, 0, 0, px, py, pz);
    EXPECT_NEAR(px, 400.375, 1e-3); // 801 / 2 = 400 in whole pixels
    EXPECT_NEAR(py, 300.375, 1e-3);
    camera->reshape(800, 600);
}

TEST_F(CameraTest, WorldDepthsWithinFiftyLieBetweenTheClipPlanes)
{
    camera->reshape(800, 600);
    double px, py, pz;
    project(0, 0, 49, px, py, pz);
    EXPECT_GT(pz, 0.0);
    EXPECT_LT(pz, 1.0);
    project(0, 0, -49, px, py, pz);
    EXPECT_GT(pz, 0.0);
    EXPECT_LT(pz, 1.0);
}

TEST_F(CameraTest, NonPositiveSizesAreRefusedAndChangeNothing)
{
    camera->reshape(800, 600);
    GLdouble before[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);

    CoutCapture output;
    camera->reshape(0, 0);
    camera->reshape(640, -3);
    EXPECT_EQ(output.text(),
              "reshape() values bad w:0 h:0\nreshape() values bad w:640 h:-3\n");

    EXPECT_EQ(camera->width, 800);
    EXPECT_EQ(camera->height, 600);
    GLint vp[4];
    viewport(vp);
    EXPECT_EQ(vp[2], 800);
    GLdouble after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]);
}

TEST_F(CameraTest, PerspectiveModeAppliesAtTheNextReshape)
{
    camera->setPerspective(1);
    camera->reshape(800, 600);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // A perspective matrix carries -1 in its w row; an orthographic one does not.
    EXPECT_EQ(projection[11], -1.0);
    camera->setPerspective(0);
    camera->reshape(800, 600);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(projection[11], 0.0);
}

TEST_F(CameraTest, ConstructionSaysSoOnItsOwnLine)
{
    CoutCapture output;
    Camera another;
    EXPECT_EQ(output.text(), "Camera initialized\n");
}
