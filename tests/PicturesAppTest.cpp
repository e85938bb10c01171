#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
// An image shrunk to 80 x 60 RGB by ImageMagick, from the given convert input.
std::vector<std::uint8_t> thumbnail(const std::string& input)
{
    std::vector<std::uint8_t> rgb(80 * 60 * 3);
    FILE* pipe = popen(("convert " + input + " -resize '80x60!' -depth 8 rgb:- 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return {};
    const std::size_t got = std::fread(rgb.data(), 1, rgb.size(), pipe);
    pclose(pipe);
    if (got != rgb.size())
        return {};
    return rgb;
}

double meanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    if (a.empty() || a.size() != b.size())
        return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    return sum / static_cast<double>(a.size());
}

// The part of a 1024 x 1024 picture that the 800 x 600 window shows.
std::string windowPart(const std::string& picture, bool flipped)
{
    return std::string(LUMEN_SOURCE_DIR) + "/" + picture + " -crop 800x600+112+212 +repage" +
           (flipped ? " -flip" : "");
}

class PicturesAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20));
        window = game.findWindow(10);
        ASSERT_FALSE(window.empty());
        char folder[] = "/tmp/lumen-shots-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        shotDir = folder;
    }

    void TearDown() override
    {
        if (!shotDir.empty())
            std::system(("rm -rf " + shotDir).c_str());
    }

    // Waits for a few frames, then grabs the window.
    std::vector<std::uint8_t> screenshot(const std::string& name)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        const std::string file = shotDir + "/" + name + ".png";
        if (std::system(("import -window " + window + " png:" + file + " 2>/dev/null").c_str()) != 0)
            return {};
        return thumbnail(file);
    }

    // The shot shows the picture's window part upright, and clearly not
    // upside down.
    void expectShows(const std::vector<std::uint8_t>& shot, const std::string& picture)
    {
        ASSERT_FALSE(shot.empty());
        const double upright = meanDifference(shot, thumbnail(windowPart(picture, false)));
        const double upsideDown = meanDifference(shot, thumbnail(windowPart(picture, true)));
        EXPECT_LT(upright, 6.0) << picture;
        EXPECT_GT(upsideDown, upright + 4.0) << picture;
    }

    GameProcess game;
    std::string window;
    std::string shotDir;
};

TEST_F(PicturesAppTest, StartScreenShowsSplashThenInstructions)
{
    expectShows(screenshot("splash"), "img/splash.jpg");

    GameProcess::xdotool("mousemove --window " + window + " 400 300 click 1");
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/instructions.jpg", 10));
    expectShows(screenshot("instructions"), "img/instructions.jpg");
}
} // namespace
