#include "GameProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace
{
// Starts the game and waits until its window is up and its main loop runs.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.waitForLine("Z-buffer disabled", 20)) << dump();
        window = game.findWindow(10);
        ASSERT_FALSE(window.empty()) << dump();
        ASSERT_TRUE(waitForLineStartingWith("QueryPerformanceFrequency: ", 10)) << dump();
    }

    bool waitForLineStartingWith(const std::string& prefix, double seconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do
        {
            for (const std::string& line : game.lines())
                if (line.rfind(prefix, 0) == 0)
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    std::string dump()
    {
        std::string all;
        for (const std::string& line : game.lines())
            all += line + "\n";
        return all;
    }

    void key(const std::string& keys)
    {
        GameProcess::xdotool("windowfocus --sync " + window);
        GameProcess::xdotool("key --window " + window + " " + keys);
    }

    GameProcess game;
    std::string window;
};
} // namespace

TEST_F(AppTest, StartUpLogIsInOrder)
{
    const std::vector<std::string>& lines = game.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Camera initialized");
    const int culling = game.indexOf("Backface culling disabled");
    const int depth = game.indexOf("Z-buffer disabled");
    ASSERT_GE(culling, 0);
    EXPECT_EQ(depth, culling + 1);
    int clock = -1;
    for (std::size_t i = 0; i < game.lines().size(); ++i)
        if (game.lines()[i].rfind("QueryPerformanceFrequency: ", 0) == 0)
            clock = static_cast<int>(i);
    EXPECT_GT(clock, depth);
    EXPECT_EQ(game.lines()[static_cast<std::size_t>(clock)], "QueryPerformanceFrequency: 1000000000");
}

TEST_F(AppTest, WindowIsTitledAndKeepsFourByThree)
{
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GameProcess::windowSize(window, width, height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(GameProcess::xdotool("search --name '^TODO: CHANGE THIS$'"), 0);

    GameProcess::xdotool("windowsize " + window + " 1000 500");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        GameProcess::windowSize(window, width, height);
    } while ((width != 1000 || height != 750) && std::chrono::steady_clock::now() < end);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 750);
}

TEST_F(AppTest, KeysAreLoggedAndEscapeEndsWithStatusZero)
{
    key("a");
    EXPECT_TRUE(game.waitForLine("Key Down: a(97)", 5)) << dump();
    EXPECT_TRUE(game.waitForLine("Key Up: a(97)", 5)) << dump();
    key("Escape");
    EXPECT_EQ(game.waitExit(10), 0) << dump();
    EXPECT_GE(game.indexOf("Key Down: \x1b(27)"), 0) << dump();
}

TEST_F(AppTest, CtrlQEndsWithStatusZero)
{
    key("ctrl+q");
    EXPECT_EQ(game.waitExit(10), 0) << dump();
    EXPECT_GE(game.indexOf("Key Down: \x11(17)"), 0) << dump();
    EXPECT_GE(game.indexOf("Modifiers: 2"), 0) << dump();
}

TEST_F(AppTest, AltF4EndsWithStatusZero)
{
    key("alt+F4");
    EXPECT_EQ(game.waitExit(10), 0) << dump();
    EXPECT_GE(game.indexOf("Special Down: 4(4)"), 0) << dump();
    EXPECT_GE(game.indexOf("Modifiers: 4"), 0) << dump();
}

TEST_F(AppTest, ClosingTheWindowEndsWithStatusZeroAfterStoppingTheSound)
{
    ASSERT_TRUE(GameProcess::requestClose(window));
    EXPECT_EQ(game.waitExit(10), 0) << dump();
    EXPECT_GE(game.indexOf("Stopping all sounds"), 0) << dump();
}
