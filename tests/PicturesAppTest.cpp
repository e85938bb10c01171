#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class PicturesAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20));
        window = game.findWindow(10);
        ASSERT_FALSE(window.empty());
    }

    // After a few frames, the window shows the picture's window part
    // upright, and clearly not upside down.
    void expectShows(const std::string& picture)
    {
        pause(0.6);
        const WindowPicture shot = WindowPicture::grab(window);
        ASSERT_FALSE(shot.empty());
        std::string why;
        EXPECT_TRUE(shot.showsUpright(picture, why)) << why;
    }

    GameProcess game;
    std::string window;
};

TEST_F(PicturesAppTest, StartScreenShowsSplashThenInstructions)
{
    expectShows("img/splash.jpg");

    GameProcess::xdotool("mousemove --window " + window + " 400 300 click 1");
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/instructions.jpg", 10));
    expectShows("img/instructions.jpg");
}
} // namespace
