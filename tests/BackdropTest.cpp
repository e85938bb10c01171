#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"

#include "glframework/Backdrop.h"
#include "glframework/Sprite.h"
#include "glframework/TextureMap.h"
#include "glframework/Vector4.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>

namespace
{
// A backdrop must leave the window exactly as drawing it as a plain sprite
// does, whether it draws afresh or puts its kept pixels back, and whatever
// changed since the last frame. Each step changes something, then draws the
// frame three times: once with a plain copy of the backdrop's fields, twice
// with the backdrop (the second time from its kept pixels), each time with a
// translucent sprite blended on top, which must still blend.
TEST(BackdropTest, KeptPixelsMatchDrawingTheSpriteWhateverChanged)
{
    setUpPixelWorld();
    static const char* const background = "./img/bg.jpg";
    static const char* const aura = "./img/aura.png";
    const CoutCapture quiet;

    Backdrop backdrop;
    backdrop.setTexture(background);
    backdrop.setScale(1024.0f);
    Sprite overlay;
    overlay.setTexture(aura);
    overlay.setScale(300.0f);
    overlay.setPosition(40.5f, -20.25f, 0.0f);
    overlay.setColor(Vector4(1.0f, 0.8f, 0.6f, 0.7f));
    ASSERT_NE(backdrop.getTextureId(), TextureMap::NO_TEXTURE);
    ASSERT_NE(overlay.getTextureId(), TextureMap::NO_TEXTURE);

    float clearColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    struct Step
    {
        const char* what;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"first frame", [] {}},
        {"off the pixel grid", [&] { backdrop.setPosition(10.375f, -3.25f, 0.0f); }},
        {"smaller, the cleared window around it", [&] { backdrop.setScale(500.0f); }},
        {"another clear colour",
         [&] {
             clearColour[0] = 0.25f;
             clearColour[2] = 0.5f;
         }},
        {"turned and tinted",
         [&] {
             backdrop.setAngle(12.0f);
             backdrop.setColor(Vector4(0.7f, 0.9f, 1.0f, 1.0f));
         }},
        {"translucent, so blended over the clear colour",
         [&] { backdrop.setColor(Vector4(1.0f, 1.0f, 1.0f, 0.5f)); }},
        {"a smaller viewport", [] { glViewport(100, 50, 512, 384); }},
        {"the window's viewport again", [] { glViewport(0, 0, 800, 600); }},
        {"the camera moved",
         [] {
             glMatrixMode(GL_MODELVIEW);
             glTranslatef(-30.5f, 17.0f, 0.0f);
         }},
        {"another picture", [&] { backdrop.setTexture(aura); }},
        {"replaced by a plain sprite", [&] { backdrop = Sprite(); }},
    };

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    for (const Step& step : steps)
    {
        step.change();
        const auto frame = [&](Sprite& first) {
            glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
            glClear(GL_COLOR_BUFFER_BIT);
            first.draw();
            overlay.draw();
            return readFrame();
        };
        Sprite plain = backdrop;
        const Frame expected = frame(plain);
        const Frame drawn = frame(backdrop);
        EXPECT_TRUE(backdrop.isKept()) << step.what;
        const Frame putBack = frame(backdrop);
        // Identical frames: no byte differs at all.
        EXPECT_EQ(drawn.meanDifference(expected), 0.0) << step.what << ", drawn afresh";
        EXPECT_EQ(putBack.meanDifference(expected), 0.0) << step.what << ", put back";
    }
    glPopMatrix();
    glViewport(0, 0, 800, 600);
}
} // namespace
