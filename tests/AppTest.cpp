#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// The window's _NET_WM_ICON as xprop reads it: every 32-bit number in
// order; empty if the window has none.
std::vector<std::uint32_t> iconProperty(const std::string& window)
{
    // The format given makes xprop print the numbers, not its drawing of them.
    const std::string text =
        GameProcess::outputOf("xprop -id " + window + " -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON 2>/dev/null");
    std::vector<std::uint32_t> numbers;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        return numbers;
    std::istringstream list(text.substr(equals + 1));
    std::string item;
    while (std::getline(list, item, ','))
        numbers.push_back(static_cast<std::uint32_t>(std::stoul(item)));
    return numbers;
}

// The icon file dist/icons/lumen-<size>.png as _NET_WM_ICON holds a
// picture: width, height, then each pixel as 0xAARRGGBB, rows from the top,
// decoded by ImageMagick.
std::vector<std::uint32_t> iconFile(int size)
{
    const std::string file = std::string(LUMEN_SOURCE_DIR) + "/dist/icons/lumen-" + std::to_string(size) + ".png";
    const std::string rgba = GameProcess::outputOf("convert " + file + " -depth 8 rgba:- 2>/dev/null");
    std::vector<std::uint32_t> icon;
    if (rgba.size() != static_cast<std::size_t>(size) * size * 4)
        return icon;
    icon.push_back(static_cast<std::uint32_t>(size));
    icon.push_back(static_cast<std::uint32_t>(size));
    for (std::size_t i = 0; i < rgba.size(); i += 4)
    {
        const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(static_cast<unsigned char>(rgba[at])); };
        icon.push_back(byte(i + 3) << 24 | byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2));
    }
    return icon;
}

// Starts the game and waits until its window is up and its main loop runs.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.waitForLine("Z-buffer disabled", 20)) << dump();
        window = game.findWindow(10);
        ASSERT_FALSE(window.empty()) << dump();
        ASSERT_TRUE(game.waitForMainLoop(10)) << dump();
    }

    std::string dump() { return GameLog::dump(game.lines()); }

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
    waitUntil(
        [&] {
            GameProcess::windowSize(window, width, height);
            return width == 1000 && height == 750;
        },
        5.0, 0.1);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 750);
}

// The class ties the window to the desktop entry (StartupWMClass=Lumen);
// the icon holds the game's icons of 16, 32, 48 and 64 pixels, exactly as
// drawn, each row from the top and each pixel's channels in their place.
TEST_F(AppTest, WindowHasTheGameClassAndIcons)
{
    EXPECT_EQ(GameProcess::outputOf("xprop -id " + window + " WM_CLASS"), "WM_CLASS(STRING) = \"lumen\", \"Lumen\"\n");

    const std::vector<std::uint32_t> property = iconProperty(window);
    std::vector<std::uint32_t> expected;
    for (int size : {16, 32, 48, 64})
    {
        const std::vector<std::uint32_t> icon = iconFile(size);
        ASSERT_FALSE(icon.empty()) << "dist/icons/lumen-" << size << ".png unreadable";
        expected.insert(expected.end(), icon.begin(), icon.end());
    }
    ASSERT_EQ(property.size(), expected.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        differing += property[i] != expected[i];
    EXPECT_EQ(differing, 0u);
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
