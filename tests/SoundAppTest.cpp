#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace
{
std::string dump(GameProcess& game)
{
    std::string all;
    for (const std::string& line : game.lines())
        all += line + "\n";
    return all;
}
} // namespace

// The sound library must not take over SIGTERM: a polite kill still ends
// the running game, by the signal or by a clean exit.
TEST(SoundAppTest, SigtermEndsTheRunningGame)
{
    GameProcess game;
    ASSERT_TRUE(game.waitForLine("Camera initialized", 10)) << dump(game);
    ASSERT_TRUE(game.waitForLine("Loaded loop gong", 10)) << dump(game);
    // Signal the game once it runs its main loop with the sound going.
    ASSERT_FALSE(game.findWindow(10).empty()) << dump(game);
    game.sendSignal(SIGTERM);
    const int status = game.waitExit(10);
    EXPECT_NE(status, -1) << dump(game);
    EXPECT_TRUE(status == 128 + SIGTERM || status == 0) << "exit status " << status;
}

// The sound is set up before main, right after the camera, and shut down
// when the program ends through exit.
TEST(SoundAppTest, SoundStartsBeforeMainAndStopsAtExit)
{
    GameProcess game;
    // The first screen's picture loads once the sound has started: from
    // then on its lines are all in the log (the window may show sooner).
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20)) << dump(game);
    const std::string window = game.findWindow(10);
    ASSERT_FALSE(window.empty()) << dump(game);
    const int camera = game.indexOf("Camera initialized");
    ASSERT_GE(camera, 0) << dump(game);
    const std::vector<std::string> expected = {"Constructing Sound Manager...", "Loaded Sound bg",
                                               "Loaded loop transfer", "Loaded loop accept",
                                               "Loaded loop gong"};
    int previous = camera;
    for (const std::string& line : expected)
    {
        const int at = game.indexOf(line);
        EXPECT_GT(at, previous) << line << "\n" << dump(game);
        previous = at;
    }

    GameProcess::xdotool("windowfocus --sync " + window);
    GameProcess::xdotool("key --window " + window + " Escape");
    EXPECT_EQ(game.waitExit(10), 0) << dump(game);
    EXPECT_GT(game.indexOf("Stopping all sounds"), previous) << dump(game);
}
