#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/TempFolder.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A line the game must print once: its start and its end, with anything
// (the library's reason) between.
struct Report
{
    std::string start;
    std::string end;

    bool matches(const std::string& line) const
    {
        return line.size() >= start.size() + end.size() && line.compare(0, start.size(), start) == 0 &&
               line.compare(line.size() - end.size(), end.size(), end) == 0;
    }
};

// One way the game's surroundings can be broken.
struct Damage
{
    const char* name;
    std::vector<std::string> absent;      // folders left out: "img", "sounds"
    std::vector<std::string> garbage;     // files replaced by garbage bytes
    std::vector<std::string> environment; // "NAME=value" for the game
    std::vector<Report> reports;          // each matches exactly one line of the run
    std::vector<std::string> silent;      // sounds that never play: each play prints the lookup's two errors
    bool plainPictures;                   // splash and win pictures lost: they draw as plain white
};

// Names the case in a failure message.
void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.name;
}

Report textureFailure(const std::string& picture)
{
    return {"Couldn't load texture ./img/" + picture, ""};
}

Report soundFailure(const std::string& file, const std::string& name)
{
    return {"ERROR: Could not load ./sounds/" + file + " as " + name + " (", ")"};
}

// The pictures a run from the splash through one won game into the next uses.
std::vector<Report> everyPictureFailure()
{
    std::vector<Report> lines;
    for (const char* picture : {"splash.jpg", "instructions.jpg", "bg.jpg", "yingtop.png", "yingleft.png",
                                "yingright.png", "selection.png", "arrow.png", "sparkle.png", "whiteSparkle.png",
                                "puck.png", "aura.png", "win.jpg"})
        lines.push_back(textureFailure(picture));
    return lines;
}

const std::vector<Damage> DAMAGES = {
    {"NoPictures", {"img"}, {}, {}, everyPictureFailure(), {}, true},
    {"NoSounds",
     {"sounds"},
     {},
     {},
     {soundFailure("bg.mp3", "bg"), soundFailure("trans.wav", "transfer"), soundFailure("accept.wav", "accept"),
      soundFailure("gong.wav", "gong")},
     {"bg", "transfer", "accept", "gong"},
     false},
    {"GarbagePictures",
     {},
     {"img/splash.jpg", "img/puck.png", "img/win.jpg"},
     {},
     {textureFailure("splash.jpg"), textureFailure("puck.png"), textureFailure("win.jpg")},
     {},
     true},
    {"GarbageSounds",
     {},
     {"sounds/bg.mp3", "sounds/gong.wav"},
     {},
     {soundFailure("bg.mp3", "bg"), soundFailure("gong.wav", "gong")},
     {"bg", "gong"},
     false},
    // A real driver with no sound server behind it, as on a machine without sound.
    {"NoAudioDevice",
     {},
     {},
     {"SDL_AUDIODRIVER=pulseaudio", "PULSE_SERVER=unix:/nonexistent"},
     {{"Sound device unavailable (", "): sound is off"}},
     {},
     false},
};

// Runs the real game from a folder of its own, which holds links to the
// game's pictures and sounds with the damage applied, and plays from the
// splash through a game (won with q) to the end screen and into the next game.
class RobustnessAppTest : public ::testing::TestWithParam<Damage>
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.empty());
        for (const char* part : {"img", "sounds"})
        {
            if (!isAbsent(part))
            {
                ASSERT_TRUE(linkFolder(part)) << part;
            }
        }
        for (const std::string& file : GetParam().garbage)
            ASSERT_TRUE(writeGarbage(file)) << file;
    }

    bool isAbsent(const std::string& part) const
    {
        for (const std::string& absent : GetParam().absent)
            if (absent == part)
                return true;
        return false;
    }

    // A folder of links, one for each file of the game's own.
    bool linkFolder(const std::string& part) const
    {
        const std::string from = std::string(LUMEN_SOURCE_DIR) + "/" + part;
        const std::string to = folder + "/" + part;
        DIR* dir = opendir(from.c_str());
        if (dir == nullptr || mkdir(to.c_str(), 0755) != 0)
            return false;
        bool linked = true;
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                linked = linked && symlink((from + "/" + entry->d_name).c_str(), (to + "/" + entry->d_name).c_str()) == 0;
        closedir(dir);
        return linked;
    }

    // 4 KiB of fixed pseudo-random bytes in place of the file.
    bool writeGarbage(const std::string& file) const
    {
        const std::string path = folder + "/" + file;
        unlink(path.c_str());
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr)
            return false;
        std::uint32_t state = 12345u;
        for (int i = 0; i < 4096; ++i)
        {
            state = state * 1664525u + 1013904223u;
            std::fputc(static_cast<int>(state >> 24), out);
        }
        return std::fclose(out) == 0;
    }

    const TempFolder scratch{"lumen-damage"};
    const std::string& folder = scratch.path;
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Whether two grabs taken a moment apart differ: play is never still (the
// pucks drift, the sparkles twinkle), a picture screen always is.
bool moving(const std::string& window)
{
    const WindowPicture first = WindowPicture::grab(window);
    pause(0.3);
    const WindowPicture second = WindowPicture::grab(window);
    return !first.empty() && first.meanDifference(second) > 0.0;
}
} // namespace

TEST_P(RobustnessAppTest, PlaysThroughAGameIntoTheNextReportingEachFailure)
{
    const Damage& damage = GetParam();
    GameProcess game(damage.environment, folder);
    const std::string window = game.findWindow(30);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    // The main loop runs once the frame clock has ticked.
    ASSERT_TRUE(game.waitForMainLoop(20)) << GameLog::dump(game.lines());
    pause(0.3);

    const WindowPicture splash = WindowPicture::grab(window);
    EXPECT_EQ(splash.plain(255, 255, 255, 2), damage.plainPictures) << "the splash screen";

    GameProcess::xdotool("mousemove --window " + window + " 400 300 click 1");
    const auto instructions = [](const std::string& line) { return endsWith(line, " ./img/instructions.jpg"); };
    ASSERT_GE(game.waitFor(instructions, 10), 0) << GameLog::dump(game.lines());
    GameProcess::xdotool("click 1");
    const auto board = [](const std::string& line) { return endsWith(line, " ./img/bg.jpg"); };
    ASSERT_GE(game.waitFor(board, 10), 0) << GameLog::dump(game.lines());

    // In play once the pucks are in, then won at once with q.
    pause(2.2);
    EXPECT_TRUE(moving(window)) << "the first game";
    const WindowPicture play = WindowPicture::grab(window);
    EXPECT_FALSE(play.plain(255, 255, 255, 2));
    const std::size_t before = game.lines().size();
    GameProcess::xdotool("windowfocus --sync " + window + " key q");
    const auto released = [](const std::string& line) { return line == "Key Up: q(113)"; };
    ASSERT_GE(game.waitFor(released, 5, before), 0) << GameLog::dump(game.lines());
    const Clock::time_point won = Clock::now();
    pause(0.5);

    const WindowPicture end = WindowPicture::grab(window);
    EXPECT_FALSE(moving(window)) << "the end screen";
    EXPECT_GT(end.meanDifference(play), 1.0);
    EXPECT_EQ(end.plain(255, 255, 255, 2), damage.plainPictures) << "the end screen";

    // The end screen takes a click after its pause into the next game.
    pause(std::max(0.0, 4.2 - secondsSince(won)));
    GameProcess::xdotool("click 1");
    const Clock::time_point clicked = Clock::now();
    bool nextGame = false;
    while (!nextGame && secondsSince(clicked) < 5.0)
        nextGame = moving(window);
    EXPECT_TRUE(nextGame) << "the next game";
    EXPECT_EQ(game.waitExit(0), -1) << "the game ended\n" << GameLog::dump(game.lines());

    // Each failed load is reported once, and every other line is ordinary.
    const std::vector<std::string> lines = game.lines();
    std::vector<bool> reported(lines.size(), false);
    for (const Report& report : damage.reports)
    {
        int matches = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (report.matches(lines[i]))
            {
                ++matches;
                reported[i] = true;
            }
        EXPECT_EQ(matches, 1) << report.start << "..." << report.end;
    }
    // Every play of a sound whose file failed names it twice: the slot
    // without a sample, then the search's end without a hit.
    for (const std::string& sound : damage.silent)
    {
        EXPECT_EQ(GameLog::count(lines, "Playing " + sound), 0) << sound;
        int lookups = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == "ERROR: No sample associated with " + sound &&
                lines[i + 1] == "ERROR: Sample " + sound + " not found")
            {
                ++lookups;
                reported[i] = reported[i + 1] = true;
            }
        // Two games start (music and gong) and one ends (gong).
        const int plays = sound == "bg" ? 2 : sound == "gong" ? 3 : 0;
        EXPECT_EQ(lookups, plays) << sound;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(reported[i] || GameLog::isOrdinary(lines[i])) << "line " << i << ": " << lines[i];
    // Two games played the music and the gong, unless they are the ones lost.
    for (const char* sound : {"bg", "gong"})
    {
        if (std::find(damage.silent.begin(), damage.silent.end(), sound) == damage.silent.end())
        {
            EXPECT_GE(GameLog::count(lines, std::string("Playing ") + sound), 2) << sound;
        }
    }

    GameProcess::xdotool("windowfocus --sync " + window + " key Escape");
    EXPECT_EQ(game.waitExit(10), 0) << GameLog::dump(game.lines());
}

INSTANTIATE_TEST_SUITE_P(Damages, RobustnessAppTest, ::testing::ValuesIn(DAMAGES),
                         [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });
