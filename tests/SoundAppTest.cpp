#include "support/GameLog.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

// The sound library must not take over SIGTERM: a polite kill still ends
// the running game, by the signal or by a clean exit.
TEST(SoundAppTest, SigtermEndsTheRunningGame)
{
    GameProcess game;
    ASSERT_TRUE(game.waitForLine("Camera initialized", 10)) << GameLog::dump(game.lines());
    ASSERT_TRUE(game.waitForLine("Loaded loop gong", 10)) << GameLog::dump(game.lines());
    // Signal the game once it runs its main loop with the sound going.
    ASSERT_FALSE(game.findWindow(10).empty()) << GameLog::dump(game.lines());
    game.sendSignal(SIGTERM);
    const int status = game.waitExit(10);
    EXPECT_NE(status, -1) << GameLog::dump(game.lines());
    EXPECT_TRUE(status == 128 + SIGTERM || status == 0) << "exit status " << status;
}

// The sound is set up before main, right after the camera, and shut down
// when the program ends through exit.
TEST(SoundAppTest, SoundStartsBeforeMainAndStopsAtExit)
{
    GameProcess game;
    // The first screen's picture loads once the sound has started: from
    // then on its lines are all in the log (the window may show sooner).
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20)) << GameLog::dump(game.lines());
    const std::string window = game.findWindow(10);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    const int camera = game.indexOf("Camera initialized");
    ASSERT_GE(camera, 0) << GameLog::dump(game.lines());
    const std::vector<std::string> expected = {"Constructing Sound Manager...", "Loaded Sound bg",
                                               "Loaded loop transfer", "Loaded loop accept",
                                               "Loaded loop gong"};
    int previous = camera;
    for (const std::string& line : expected)
    {
        const int at = game.indexOf(line);
        EXPECT_GT(at, previous) << line << "\n" << GameLog::dump(game.lines());
        previous = at;
    }

    GameProcess::xdotool("windowfocus --sync " + window);
    GameProcess::xdotool("key --window " + window + " Escape");
    EXPECT_EQ(game.waitExit(10), 0) << GameLog::dump(game.lines());
    EXPECT_GT(game.indexOf("Stopping all sounds"), previous) << GameLog::dump(game.lines());
}
