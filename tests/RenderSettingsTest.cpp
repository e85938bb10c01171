#include "support/CoutCapture.h"
#include "support/GlTestWindow.h"

#include "glframework/RenderSettings.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break gtest's own names.
#include <GL/glx.h>

#include <functional>
#include <sstream>
#include <string>

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
    CoutCapture output;
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
    EXPECT_EQ(output.text(),
              "Backface culling enabled\nBackface culling disabled\n");
}

TEST_F(RenderSettingsTest, DepthBufferWithTransparentCulling)
{
    glDisable(GL_ALPHA_TEST);
    CoutCapture output;
    setDepthBuffer(true, true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LEQUAL);
    GLfloat reference = 0.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_NEAR(reference, 0.001f, 1e-6);
    EXPECT_EQ(output.text(),
              "Z-buffer enabled\nTranparent pixels culled from Z-buffer\n");
}

TEST_F(RenderSettingsTest, SwitchingDepthOffLeavesTheAlphaTestAlone)
{
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST); // on beforehand, so only the switch can turn it off
    CoutCapture output;
    setDepthBuffer(false, true);
    EXPECT_EQ(output.text(), "Z-buffer disabled\n");
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));

    glDisable(GL_ALPHA_TEST);
    setDepthBuffer(false, false);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(RenderSettingsTest, EachSettingGoesOnAndOffTwice)
{
    struct Setting
    {
        GLenum capability;
        std::function<void(bool)> set;
    };
    const Setting settings[] = {{GL_CULL_FACE, setBackfaceCulling},
                                {GL_DEPTH_TEST, [](bool on) { setDepthBuffer(on, false); }},
                                {GL_DEPTH_TEST, [](bool on) { setDepthBuffer(on, true); }}};
    const CoutCapture quiet; // every switch logs a line
    for (const Setting& setting : settings)
        for (int round = 0; round < 2; ++round)
        {
            setting.set(true);
            EXPECT_TRUE(glIsEnabled(setting.capability)) << setting.capability << " round " << round;
            setting.set(false);
            EXPECT_FALSE(glIsEnabled(setting.capability)) << setting.capability << " round " << round;
        }
}

TEST_F(RenderSettingsTest, VSyncIsFoundExactlyWhenTheScreenOffersSwapControl)
{
    // The window's screen's own list of GLX extensions, read word by word.
    Display* display = glXGetCurrentDisplay();
    ASSERT_NE(display, nullptr);
    std::istringstream names(glXQueryExtensionsString(display, DefaultScreen(display)));
    bool offered = false;
    for (std::string name; names >> name;)
        offered = offered || name == "GLX_EXT_swap_control" || name == "GLX_MESA_swap_control";

    CoutCapture output;
    initVSync();
    EXPECT_EQ(isVSyncAvailable(), offered);
    setVSync(true);
    EXPECT_EQ(isVSyncOn(), offered);
    setVSync(false);
    EXPECT_FALSE(isVSyncOn());
    // Without swap control there is one probe line, and switching is a silent no-op.
    EXPECT_EQ(output.text(),
              offered ? "VSync enabled\nVSync disabled\n" : "VSync control disabled.\n");
}
