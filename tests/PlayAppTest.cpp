#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/ScreenshotPucks.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
// A new game's ten pucks.
const std::vector<double> NEW_GAME = {100, 89, 78, 67, 56, 45, 34, 23, 12, 1};

// True when seen holds the expected brightnesses in any order, each within
// what a shade on screen tells.
bool sameBrightnesses(std::vector<double> seen, std::vector<double> expected)
{
    if (seen.size() != expected.size())
        return false;
    std::sort(seen.begin(), seen.end());
    std::sort(expected.begin(), expected.end());
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (std::fabs(seen[i] - expected[i]) > 4.0)
            return false;
    return true;
}

// Plays the real executable as a player would, with xdotool: clicks through
// the start screen, reads the pucks off grabs of the window, points and
// clicks at them, and releases keys.
class PlayAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20));
        window = game.findWindow(10);
        ASSERT_FALSE(window.empty());
    }


    void xdotool(const std::string& arguments) { GameProcess::xdotool(arguments); }
    void moveAway() { xdotool("mousemove --window " + window + " 5 5"); }

    // Grabs until the pucks are all whole and apart (they touch at times).
    ScreenshotPucks tenPucks(double timeoutSeconds)
    {
        const Clock::time_point start = Clock::now();
        while (true)
        {
            const WindowPicture shot = WindowPicture::grab(window);
            ScreenshotPucks seen(shot.rgb, shot.width, shot.height);
            if ((seen.whole().size() == NEW_GAME.size() && seen.unclear() == 0) ||
                secondsSince(start) > timeoutSeconds)
                return seen;
            pause(0.05);
        }
    }

    // Until shortly before the pucks are due, 1.5 s after the game began,
    // every grab shows the board without a puck.
    void expectAnOpening(Clock::time_point began)
    {
        while (secondsSince(began) < 1.25)
        {
            const WindowPicture shot = WindowPicture::grab(window);
            const ScreenshotPucks seen(shot.rgb, shot.width, shot.height);
            ASSERT_TRUE(seen.whole().empty() && seen.unclear() == 0)
                << "a puck " << secondsSince(began) << " s into the opening";
            pause(0.05);
        }
    }

    // Points at the puck seen nearest each brightness and clicks, source
    // first, in one xdotool call made right after a grab; cancels with the
    // right button and tries again if the pucks moved from under the pointer.
    bool transfer(double source, double target)
    {
        const int before = game.count("Playing transfer");
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            const ScreenshotPucks seen = tenPucks(3.0);
            const std::vector<double> brightnesses = seen.brightnesses();
            if (!sameBrightnesses(brightnesses, NEW_GAME))
                return false;
            std::string clicks;
            for (double wanted : {source, target})
            {
                const auto nearest = std::min_element(brightnesses.begin(), brightnesses.end(),
                    [wanted](double a, double b) { return std::fabs(a - wanted) < std::fabs(b - wanted); });
                const ScreenshotPucks::Seen& puck = seen.whole()[nearest - brightnesses.begin()];
                clicks += " mousemove --window " + window + " " + std::to_string(std::lround(puck.x) + 1) + " " +
                          std::to_string(std::lround(puck.y) + 1) + " click 1";
            }
            xdotool(clicks);
            if (game.waitForCount("Playing transfer", before + 1, 2.0))
                return true;
            xdotool("click 3");
        }
        return false;
    }

    GameProcess game;
    std::string window;
};
} // namespace

TEST_F(PlayAppTest, APlayerTransfersLightWinsWithQAndStartsAFreshGame)
{
    ASSERT_TRUE(game.clickIntoPlay(window)) << GameLog::dump(game.lines());
    const Clock::time_point began = Clock::now();
    EXPECT_EQ(game.indexOf("Playing bg") + 1, game.indexOf("Playing gong"));
    moveAway();
    expectAnOpening(began);

    // Ten pucks come in with the new game's brightnesses.
    std::vector<double> seen = tenPucks(5.0).brightnesses();
    ASSERT_TRUE(sameBrightnesses(seen, NEW_GAME));

    // The 89 puck gives 55 to the 45 puck: two white pucks, two at 34, and
    // none left at 89 or 45, which no swap of two pucks could show.
    ASSERT_TRUE(transfer(89, 45));
    EXPECT_LT(game.indexOf("Playing accept"), game.indexOf("Playing transfer"));
    moveAway();
    const std::vector<double> afterwards = {100, 100, 78, 67, 56, 34, 34, 23, 12, 1};
    const Clock::time_point transferred = Clock::now();
    do
        seen = tenPucks(1.0).brightnesses();
    while (!sameBrightnesses(seen, afterwards) && secondsSince(transferred) < 4.0);
    EXPECT_TRUE(sameBrightnesses(seen, afterwards));

    // Releasing q wins at once.
    const int gongs = game.count("Playing gong");
    xdotool("windowfocus --sync " + window + " key q");
    ASSERT_TRUE(game.waitForCount("Playing gong", gongs + 1, 5.0));
    const Clock::time_point won = Clock::now();
    pause(0.2);
    const WindowPicture end = WindowPicture::grab(window);
    const double toWin = end.differenceFrom("img/win.jpg");
    EXPECT_LT(toWin, 6.0);
    EXPECT_GT(end.differenceFrom("img/lose.jpg"), toWin + 10.0);

    // A click soon after is ignored; one after more than three seconds starts
    // a new game. The end screen counts whole seconds, so "more than three"
    // may take nearly four.
    const int games = game.count("Playing bg");
    xdotool("click 1");
    EXPECT_FALSE(game.waitForCount("Playing bg", games + 1, 0.5));
    pause(std::max(0.0, 4.2 - secondsSince(won)));
    xdotool("click 1");
    ASSERT_TRUE(game.waitForCount("Playing bg", games + 1, 3.0));
    ASSERT_TRUE(game.waitForCount("Playing gong", gongs + 2, 2.0));
    moveAway();
    expectAnOpening(Clock::now());
    EXPECT_TRUE(sameBrightnesses(tenPucks(5.0).brightnesses(), NEW_GAME));
}
