#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Seconds of real time the player plays.
constexpr double PLAY_TIME = 60.0;

// Every key the player presses (xdotool's names), each at least once: all
// but Escape, and the combinations below that would end the game. Caps and
// Num Lock are left out: they would stay on for the tests after this one.
const std::vector<std::string> KEYS = {
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r", "s", "t", "u", "v",
    "w", "x", "y", "z", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "minus", "equal", "bracketleft",
    "bracketright", "backslash", "semicolon", "apostrophe", "grave", "comma", "period", "slash", "space",
    "Return", "Tab", "BackSpace", "Delete", "Insert", "Home", "End", "Prior", "Next", "Up", "Down", "Left",
    "Right", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "KP_Enter", "KP_Add",
    "KP_Multiply", "KP_Divide", "Linefeed", "Menu", "Shift_L", "Control_R", "Alt_L", "eacute", "udiaeresis"};

const std::vector<std::string> MODIFIERS = {"", "", "", "", "", "shift+", "shift+", "ctrl+", "alt+", "ctrl+alt+",
                                            "shift+alt+", "ctrl+shift+"};

// Whether a key with its modifiers would end the game: Escape itself (which
// Ctrl with "[" or "3" makes too), Ctrl+Q, and Alt+F4.
bool endsTheGame(const std::string& modifiers, const std::string& key)
{
    const bool ctrl = modifiers.find("ctrl+") != std::string::npos;
    const bool alt = modifiers.find("alt+") != std::string::npos;
    if (ctrl && (key == "q" || key == "bracketleft" || key == "3"))
        return true;
    // X servers may bind Ctrl+Alt+BackSpace to ending themselves.
    if (ctrl && alt && key == "BackSpace")
        return true;
    return alt && key == "F4";
}

// A player who does anything at all, at a human pace, with a fixed seed so
// that a failure can be replayed: moves the pointer in and out of the
// window, drags, clicks every button, presses every key.
class RandomPlayer
{
public:
    RandomPlayer(unsigned seed, const std::string& window_) : random(seed), window(window_), dealt(KEYS.size()) {}

    // One action, sent with xdotool; returns its arguments.
    std::string act()
    {
        const int kind = pick(0, 99);
        std::string arguments;
        if (kind < 4)
            arguments = "windowfocus --sync " + window + " key q"; // ends a game in play: a few games a minute
        else if (kind < 50)
            arguments = "windowfocus --sync " + window + " key " + nextKey();
        else if (kind < 65)
            arguments = "mousemove --window " + window + " " + point();
        else if (kind < 85)
            arguments = "mousemove --window " + window + " " + point() + " click " + button();
        else
        {
            const std::string held = std::to_string(pick(1, 3));
            arguments = "mousemove --window " + window + " " + point() + " mousedown " + held;
            for (int step = pick(1, 4); step > 0; --step)
                arguments += " mousemove --window " + window + " " + point();
            arguments += " mouseup " + held;
        }
        if (GameProcess::xdotool(arguments) != 0)
            failures += arguments + "\n";
        return arguments;
    }

    // Seconds to wait before the next action: a few actions a second.
    double rest() { return pick(120, 330) / 1000.0; }

    // The actions that xdotool could not carry out, one a line.
    const std::string& failedActions() const { return failures; }

    // Whether every key of the deck has been pressed.
    bool pressedEveryKey() const { return keysPressed >= KEYS.size(); }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // Anywhere over the window or a little outside it. The "--" keeps
    // xdotool from reading a negative coordinate as an option, which would
    // end the whole command there (and leave a pressed button held).
    std::string point() { return "-- " + std::to_string(pick(-40, 840)) + " " + std::to_string(pick(-40, 640)); }

    // Left, middle or right mostly, now and then the wheel.
    std::string button()
    {
        const int b = pick(1, 12);
        return std::to_string(b <= 4 ? 1 : b <= 7 ? 2 : b <= 10 ? 3 : b - 7);
    }

    // The next key of a shuffled deck of all keys, with random modifiers.
    std::string nextKey()
    {
        if (dealt == KEYS.size())
        {
            deck = KEYS;
            std::shuffle(deck.begin(), deck.end(), random);
            dealt = 0;
        }
        const std::string& key = deck[dealt++];
        ++keysPressed;
        std::string modifiers;
        do
            modifiers = MODIFIERS[static_cast<std::size_t>(pick(0, static_cast<int>(MODIFIERS.size()) - 1))];
        while (endsTheGame(modifiers, key));
        return modifiers + key;
    }

    std::mt19937 random;
    std::string window;
    std::vector<std::string> deck;
    std::size_t dealt;
    std::size_t keysPressed = 0;
    std::string failures;
};

// Whether the log says a game is in play: its music started after the
// last end of a game.
bool inPlay(const std::vector<std::string>& lines)
{
    for (std::size_t i = lines.size(); i-- > 0;)
    {
        if (lines[i] == "Playing bg")
            return true;
        if (lines[i] == "Stopping all sounds")
            return false;
    }
    return false;
}
} // namespace

// LUMEN_RANDOM_SEED in the environment replays another seed.
TEST(RandomPlayerAppTest, AMinuteOfRandomInputLeavesTheGameRunningDrawingAndLoggingOnlyOrdinaryLines)
{
    const char* seedText = std::getenv("LUMEN_RANDOM_SEED");
    const unsigned seed = seedText != nullptr ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 20261209u;

    GameProcess game;
    const std::string window = game.findWindow(30);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    ASSERT_TRUE(game.waitForMainLoop(20)) << GameLog::dump(game.lines());

    RandomPlayer player(seed, window);
    std::ostringstream actions;
    bool alive = true;
    const Clock::time_point start = Clock::now();
    // On past the minute, if need be, until every key has been pressed.
    while (alive && (secondsSince(start) < PLAY_TIME || (!player.pressedEveryKey() && secondsSince(start) < PLAY_TIME + 20.0)))
    {
        const double at = secondsSince(start);
        actions << at << " s: xdotool " << player.act() << "\n";
        pause(player.rest());
        alive = game.waitExit(0) == -1;
    }
    const std::string replay = "seed " + std::to_string(seed) + " (LUMEN_RANDOM_SEED replays it), actions:\n" +
                               actions.str();
    ASSERT_TRUE(alive) << "the game ended with status " << game.waitExit(0) << "\n"
                       << replay << GameLog::dump(game.lines());
    EXPECT_TRUE(player.pressedEveryKey());
    EXPECT_EQ(player.failedActions(), "");

    // Into a game, if the player left one: the start screen takes two
    // clicks, the end screen one after its pause.
    GameProcess::xdotool("mousemove --window " + window + " 400 300");
    const Clock::time_point settling = Clock::now();
    while (!inPlay(game.lines()) && secondsSince(settling) < 12.0)
    {
        GameProcess::xdotool("click 1");
        pause(1.0);
    }
    ASSERT_TRUE(inPlay(game.lines())) << replay << GameLog::dump(game.lines());
    pause(0.5);
    const WindowPicture first = WindowPicture::grab(window);
    pause(0.3);
    const WindowPicture second = WindowPicture::grab(window);
    ASSERT_FALSE(first.empty());
    EXPECT_GT(first.meanDifference(second), 0.0) << "the game no longer draws\n" << replay;

    const std::vector<std::string> odd = GameLog::unordinary(game.lines());
    EXPECT_TRUE(odd.empty()) << GameLog::dump(odd) << replay;
    std::cerr << GameLog::count(game.lines(), "Playing bg") << " games, "
              << GameLog::count(game.lines(), "Playing accept") << " picks and "
              << GameLog::count(game.lines(), "Playing transfer") << " transfers in " << PLAY_TIME
              << " s of random play\n";

    GameProcess::xdotool("windowfocus --sync " + window + " key Escape");
    EXPECT_EQ(game.waitExit(10), 0) << replay << GameLog::dump(game.lines());
}
