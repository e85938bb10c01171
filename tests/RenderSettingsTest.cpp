#include "GlTestWindow.h"

#include "glframework/RenderSettings.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace
{
class RenderSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { ensureGlTestWindow(); }
};
} // namespace

TEST_F(RenderSettingsTest, CullingSwitchesAndReports)
{
    testing::internal::CaptureStdout();
    setBackfaceCulling(true);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint front = 0;
    GLint face = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    glGetIntegerv(GL_CULL_FACE_MODE, &face);
    EXPECT_EQ(front, GL_CCW);
    EXPECT_EQ(face, GL_BACK);
    setBackfaceCulling(false);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Backface culling enabled\nBackface culling disabled\n");
}

TEST_F(RenderSettingsTest, DepthBufferWithTransparentCulling)
{
    glDisable(GL_ALPHA_TEST);
    testing::internal::CaptureStdout();
    setDepthBuffer(true, true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LEQUAL);
    GLfloat reference = 0.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_NEAR(reference, 0.001f, 1e-6);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Z-buffer enabled\nTranparent pixels culled from Z-buffer\n");
}

TEST_F(RenderSettingsTest, SwitchingDepthOffLeavesTheAlphaTestAlone)
{
    glEnable(GL_ALPHA_TEST);
    testing::internal::CaptureStdout();
    setDepthBuffer(false, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Z-buffer disabled\n");
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));

    glDisable(GL_ALPHA_TEST);
    setDepthBuffer(false, false);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(RenderSettingsTest, VSyncProbeAgreesWithItsAnswers)
{
    testing::internal::CaptureStdout();
    initVSync();
    setVSync(false);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (isVSyncAvailable())
    {
        // Found: no probe line, and switching is reported and takes effect.
        EXPECT_EQ(printed, "VSync disabled\n");
        EXPECT_FALSE(isVSyncOn());
        testing::internal::CaptureStdout();
        setVSync(true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "VSync enabled\n");
        EXPECT_TRUE(isVSyncOn());
    }
    else
    {
        // Missing: one probe line, and the switch is a silent no-op.
        EXPECT_EQ(printed, "VSync control disabled.\n");
        EXPECT_FALSE(isVSyncOn());
    }
}
