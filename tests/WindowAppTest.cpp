#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/ScreenshotPucks.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace
{
// The real game's window unmapped and mapped again, as iconifying and
// restoring it does, and resized to odd sizes, with a player clicking pucks
// at each size. Without a window manager (Xvfb) nothing iconifies a window
// on request and X refuses a size of 0 x 0 outright, so the game never gets
// a 0 x 0 reshape here; that one is delivered in-process (MinimisedPlayTest).
class WindowAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = game.findWindow(30);
        ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
        ASSERT_TRUE(game.waitForMainLoop(20)) << GameLog::dump(game.lines());
    }

    void xdotool(const std::string& arguments) { GameProcess::xdotool(arguments); }


    // Asks X for a size and waits until the window has the size expected.
    bool resize(int width, int height, int expectedWidth, int expectedHeight)
    {
        xdotool("windowsize " + window + " " + std::to_string(width) + " " + std::to_string(height));
        pause(0.1); // X answers with the old size until it has acted
        return waitUntil(
            [&] {
                int w = 0;
                int h = 0;
                return GameProcess::windowSize(window, w, h) && w == expectedWidth && h == expectedHeight;
            },
            5.0, 0.1);
    }

    // The pucks seen in a grab of the window at any size, brought to the
    // 800 x 600 that the puck finder knows; false if no grab showed ten whole
    // pucks apart within the time. The window pixel of a found puck is its
    // position scaled back, shifted by the row and column the grab lacks.
    bool findPucks(double timeoutSeconds, ScreenshotPucks& found, double& scaleX, double& scaleY, int& shift)
    {
        const Clock::time_point start = Clock::now();
        while (secondsSince(start) < timeoutSeconds)
        {
            int w = 0;
            int h = 0;
            const WindowPicture shot = WindowPicture::grab(window);
            if (!shot.empty() && GameProcess::windowSize(window, w, h))
            {
                const WindowPicture seen = shot.resized(800, 600);
                found = ScreenshotPucks(seen.rgb, seen.width, seen.height);
                scaleX = static_cast<double>(shot.width) / 800.0;
                scaleY = static_cast<double>(shot.height) / 600.0;
                shift = w - shot.width;
                if (found.whole().size() == 10 && found.unclear() == 0)
                    return true;
            }
            pause(0.05);
        }
        return false;
    }

    // Points at a puck seen in a grab and clicks: the puck is picked (it
    // plays "accept"); a right click then cancels. Tries again if the pucks
    // moved from under the pointer.
    bool pickAPuck()
    {
        const int before = game.count("Playing accept");
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            ScreenshotPucks seen({}, 0, 0);
            double scaleX = 1.0;
            double scaleY = 1.0;
            int shift = 0;
            if (!findPucks(3.0, seen, scaleX, scaleY, shift))
                return false;
            const ScreenshotPucks::Seen& puck = seen.whole()[static_cast<std::size_t>(attempt)];
            const long x = std::lround((puck.x + 0.5) * scaleX - 0.5) + shift;
            const long y = std::lround((puck.y + 0.5) * scaleY - 0.5) + shift;
            xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
            const bool picked = game.waitForCount("Playing accept", before + 1, 2.0);
            xdotool("click 3");
            if (picked)
                return true;
        }
        return false;
    }

    GameProcess game;
    std::string window;
};
} // namespace

TEST_F(WindowAppTest, PlayGoesOnUnmappedAndAtOddSizesWhereClicksStillLandOnThePucks)
{
    ASSERT_TRUE(game.clickIntoPlay(window)) << GameLog::dump(game.lines());

    // Unmapped before the pucks come in (1.5 s into the game) and mapped
    // again after: the game ran on meanwhile, and the pucks are in.
    ASSERT_EQ(GameProcess::xdotool("windowunmap --sync " + window), 0);
    pause(2.5);
    EXPECT_EQ(game.waitExit(0), -1) << GameLog::dump(game.lines());
    ASSERT_EQ(GameProcess::xdotool("windowmap --sync " + window), 0);
    ScreenshotPucks seen({}, 0, 0);
    double scaleX = 1.0;
    double scaleY = 1.0;
    int shift = 0;
    EXPECT_TRUE(findPucks(1.0, seen, scaleX, scaleY, shift)) << seen.whole().size() << " pucks";

    // Odd sizes come back 4:3, the height the width * 0.75 truncated.
    ASSERT_TRUE(resize(1001, 333, 1001, 750));
    EXPECT_TRUE(pickAPuck()) << "at 1001 x 750";
    ASSERT_TRUE(resize(643, 1000, 643, 482));
    EXPECT_TRUE(pickAPuck()) << "at 643 x 482";

    // A window 1 pixel wide has no 4:3 height: refused, and play goes on.
    ASSERT_TRUE(resize(1, 1, 1, 1));
    EXPECT_TRUE(game.waitForLine("reshape() values bad w:1 h:1", 2)) << GameLog::dump(game.lines());
    pause(0.3);
    EXPECT_EQ(game.waitExit(0), -1) << GameLog::dump(game.lines());

    // Restored to the first size.
    ASSERT_TRUE(resize(800, 600, 800, 600));
    EXPECT_TRUE(pickAPuck()) << "at 800 x 600";
    EXPECT_EQ(game.waitExit(0), -1) << GameLog::dump(game.lines());

    const std::vector<std::string> lines = game.lines();
    EXPECT_EQ(GameLog::count(lines, "reshape() values bad w:1 h:1"), 1);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(GameLog::isOrdinary(lines[i]) || lines[i] == "reshape() values bad w:1 h:1")
            << "line " << i << ": " << lines[i];
}
