#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"

#include "Screens.h"

#include "glframework/FrameClock.h"
#include "glframework/Sprite.h"
#include "glframework/State.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace
{
// Draws the current screen into a cleared frame and reads it back.
Frame drawCurrentScreen()
{
    clearFrame();
    glPushMatrix();
    currentState->draw();
    glPopMatrix();
    return readFrame();
}

// What a full-window picture looks like when drawn as the screens draw it.
Frame pictureFrame(const std::string& file)
{
    Sprite picture;
    picture.setScale(1024.0f);
    picture.setTexture(keepName(file));
    clearFrame();
    picture.draw();
    return readFrame();
}

// Screens print texture lines; keep the test output readable.
class ScreensTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpPixelWorld();
        quiet = std::make_unique<CoutCapture>();
        splash = pictureFrame("./img/splash.jpg");
        instructions = pictureFrame("./img/instructions.jpg");
        win = pictureFrame("./img/win.jpg");
        lose = pictureFrame("./img/lose.jpg");
    }

    static void TearDownTestSuite()
    {
        quiet.reset();
        frameClock() = FrameClock();
    }

    // True when the frame shows expected and clearly not other.
    static bool shows(const Frame& frame, const Frame& expected, const Frame& other)
    {
        return frame.meanDifference(expected) < 1.0 && frame.meanDifference(other) > 2.0;
    }

    static std::unique_ptr<CoutCapture> quiet;
    static Frame splash, instructions, win, lose;
};
std::unique_ptr<CoutCapture> ScreensTest::quiet;
Frame ScreensTest::splash, ScreensTest::instructions, ScreensTest::win, ScreensTest::lose;

TEST_F(ScreensTest, StartScreenTurnsThePageOnReleaseOnly)
{
    changeState(&startState);
    ASSERT_EQ(currentState, &startState);
    EXPECT_TRUE(shows(drawCurrentScreen(), splash, instructions));

    startState.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300);
    EXPECT_EQ(startState.getPage(), 0);
    EXPECT_TRUE(shows(drawCurrentScreen(), splash, instructions));

    startState.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 400, 300);
    EXPECT_EQ(startState.getPage(), 1);
    EXPECT_EQ(currentState, &startState);
    EXPECT_TRUE(shows(drawCurrentScreen(), instructions, splash));

    startState.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300);
    EXPECT_EQ(currentState, &startState);
    startState.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 400, 300);
    EXPECT_EQ(currentState, &liveMode);
}

TEST_F(ScreensTest, StartScreenIgnoresOtherButtons)
{
    changeState(&startState);
    for (int button : {GLUT_RIGHT_BUTTON, GLUT_MIDDLE_BUTTON})
        for (int state : {GLUT_DOWN, GLUT_UP})
            startState.mouseButton(button, state, 400, 300);
    startState.keyDown('a', 0, 0);
    startState.keyUp('a', 0, 0);
    EXPECT_EQ(startState.getPage(), 0);
    EXPECT_EQ(currentState, &startState);
    EXPECT_TRUE(shows(drawCurrentScreen(), splash, instructions));

    // Entering again goes back to the splash.
    startState.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 400, 300);
    changeState(&startState);
    EXPECT_EQ(startState.getPage(), 0);
    EXPECT_TRUE(shows(drawCurrentScreen(), splash, instructions));
}

TEST_F(ScreensTest, EndScreenShowsTheOutcome)
{
    endState.won = true;
    changeState(&endState);
    EXPECT_TRUE(shows(drawCurrentScreen(), win, lose));
    endState.won = false;
    changeState(&endState);
    EXPECT_TRUE(shows(drawCurrentScreen(), lose, win));
    endState.won = true;
    changeState(&endState);
    EXPECT_TRUE(shows(drawCurrentScreen(), win, lose));
}

TEST_F(ScreensTest, EndScreenWaitsBeforeAClickCounts)
{
    // A hand-driven clock: 1000 ticks per second, starting at 10.5 s.
    static std::int64_t counter = 10500;
    frameClock() = FrameClock([] { return std::int64_t(1000); }, [] { return counter; }, [] { return 0; });
    frameClock().tick();

    changeState(&endState); // entered at whole second 10
    auto clickAt = [](std::int64_t ticks, int button) {
        counter = ticks;
        frameClock().tick();
        endState.mouseButton(button, GLUT_DOWN, 400, 300);
        endState.mouseButton(button, GLUT_UP, 400, 300);
    };

    clickAt(12500, GLUT_LEFT_BUTTON); // 2 s after entering
    EXPECT_EQ(currentState, &endState);
    clickAt(13999, GLUT_LEFT_BUTTON); // third boundary passed, not the fourth
    EXPECT_EQ(currentState, &endState);
    clickAt(14000, GLUT_RIGHT_BUTTON);
    clickAt(14000, GLUT_MIDDLE_BUTTON);
    EXPECT_EQ(currentState, &endState);
    clickAt(14000, GLUT_LEFT_BUTTON); // the fourth boundary: play again
    EXPECT_EQ(currentState, &liveMode);

    // The next game ends much later: the pause starts over from that enter.
    counter = 30500;
    frameClock().tick();
    changeState(&endState);
    clickAt(33999, GLUT_LEFT_BUTTON);
    EXPECT_EQ(currentState, &endState);
    clickAt(34000, GLUT_LEFT_BUTTON);
    EXPECT_EQ(currentState, &liveMode);
}
} // namespace
