#include "support/GameLog.h"
#include "support/PlayDriver.h"
#include "support/RealTime.h"
#include "Puck.h"
#include "Screens.h"

#include "glframework/State.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of heap bytes in use (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace
{
constexpr int GAMES = 50;
constexpr long MEGABYTE = 1024 * 1024;

// The memory the games may hold on to. In a plain build, the resident set
// (/proc/self/statm). Under AddressSanitizer, which keeps freed blocks aside
// for a while and so grows the resident set without a leak, the heap bytes
// still in use.
long memoryInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    long size = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
#endif
}

// Whether line is a play refused because every mixer channel is busy.
bool refusedForBusyChannels(const std::string& line)
{
    for (const char* sound : {"bg", "gong", "accept", "transfer"})
        if (line == std::string("ERROR: Cannot play ") + sound + " (all 32 channels are busy)")
            return true;
    return false;
}

// One game as a quick player has it: the opening, a pick of one puck and a
// transfer to another, a second of play, and q released to win.
void playOneGame(PlayDriver& driver)
{
    driver.runOpening();
    const std::vector<Puck*>& pucks = liveMode.getPucks();
    if (pucks.size() >= 2)
    {
        driver.pointAt(pucks[0]->getPosition());
        driver.click(pucks[0]->getPosition());
        driver.pointAt(pucks[5]->getPosition());
        driver.click(pucks[5]->getPosition());
    }
    driver.run(1.0f);
    liveMode.keyUp('q', 0, 0);
}
} // namespace

// Fifty games in a row in one process, each ended with q and followed by a
// click after the end screen's pause. The games run far faster than real
// time, while each leaves its closing gong (2.5 s) sounding, so the mixer's
// 32 channels fill up: those plays are refused with "ERROR: Cannot play ...
// (all 32 channels are busy)", the one line allowed besides the ordinary
// ones. That the channels come free again is checked after a pause.
TEST(ManyGamesTest, FiftyGamesInARowHoldNoMoreMemoryAndLoadEachTextureOnce)
{
    PlayDriver driver;
    driver.startGame();
    long afterFirst = 0;
    long afterLast = 0;
    for (int game = 1; game <= GAMES; ++game)
    {
        SCOPED_TRACE("game " + std::to_string(game));
        ASSERT_EQ(currentState, &liveMode);
        ASSERT_TRUE(liveMode.isOpening());
        playOneGame(driver);
        ASSERT_EQ(currentState, &endState);
        EXPECT_TRUE(endState.won);
        driver.run(4.0f);
        ASSERT_EQ(currentState, &endState);
        driver.click(Vector3(0.0f, 0.0f, 0.0f));
        if (game == 1)
            afterFirst = memoryInUse();
        if (game == GAMES)
            afterLast = memoryInUse();
    }
    ASSERT_GT(afterFirst, 0);
    EXPECT_LT(std::labs(afterLast - afterFirst), 2 * MEGABYTE)
        << "after the first game " << afterFirst << " bytes, after the last " << afterLast;

    // Sounds end in real time: once the last gong has, a game starts with
    // its music and its gong again.
    pause(3.0);
    const std::size_t before = driver.log.lines().size();
    liveMode.keyUp('q', 0, 0);
    driver.run(4.0f);
    driver.click(Vector3(0.0f, 0.0f, 0.0f));
    ASSERT_EQ(currentState, &liveMode);
    const std::vector<std::string> lines = driver.log.lines();
    const std::vector<std::string> last(lines.begin() + static_cast<long>(before), lines.end());
    EXPECT_EQ(last, (std::vector<std::string>{"Stopping all sounds", "Playing gong", "Playing bg", "Playing gong"}));
    changeState(&endState);

    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(GameLog::isOrdinary(lines[i]) || refusedForBusyChannels(lines[i]))
            << "line " << i << ": " << lines[i];
    for (const char* picture : {"splash.jpg", "instructions.jpg", "lose.jpg"})
        EXPECT_EQ(GameLog::count(lines, std::string("Loaded texture ./img/") + picture), 0) << picture;
    for (const char* picture : {"bg.jpg", "yingtop.png", "yingleft.png", "yingright.png", "selection.png",
                                "arrow.png", "sparkle.png", "whiteSparkle.png", "puck.png", "aura.png", "win.jpg"})
        EXPECT_EQ(GameLog::count(lines, std::string("Loaded texture ./img/") + picture), 1) << picture;
    EXPECT_GE(GameLog::count(lines, "Playing transfer"), GAMES / 5);

    int refused = 0;
    for (const std::string& line : lines)
        refused += refusedForBusyChannels(line) ? 1 : 0;
    std::cerr << GAMES << " games: " << afterFirst << " bytes in use after the first, " << afterLast
              << " after the last; " << GameLog::count(lines, "Playing transfer") << " transfers; " << refused
              << " plays refused for busy channels\n";
}
