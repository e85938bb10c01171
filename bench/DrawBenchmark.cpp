// The frame rate of the play screen against a loop that only clears and
// swaps the same 800 x 600 window, measured alternately in one run. The
// board is a game in play: ten pucks with their auras, 200 sparkles and a
// transfer with its beam running, stepped 0.02 s per frame on a hand-driven
// clock, so that every run draws the same frames.
//
// With LUMEN_DRAW_DUMP=<file> set, the last board frame drawn is also
// written to <file> as a binary PPM, so that two builds' pictures can be
// compared pixel for pixel.
#include "support/PictureTestSupport.h"
#include "support/PlayDriver.h"
#include "Screens.h"

#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"

#include "Puck.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>

namespace
{
constexpr int FRAMES_PER_ROUND = 60;
constexpr int ROUNDS = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Processor time of the whole process, the renderer's threads included.
double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Rates
{
    double framesPerSecond;
    double processMillisecondsPerFrame; // less sensitive than the rate to other work on the machine
};

// FRAMES_PER_ROUND runs of drawOne, all finished.
template <typename Draw>
Rates measure(Draw drawOne)
{
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    const double processStart = processSeconds();
    for (int i = 0; i < FRAMES_PER_ROUND; ++i)
        drawOne();
    glFinish();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return Rates{FRAMES_PER_ROUND / seconds.count(),
                 (processSeconds() - processStart) * 1000.0 / FRAMES_PER_ROUND};
}

void clearAndSwap()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// One frame of the game: the idle callback's update, then the display
// callback's clear, draw and swap.
void playFrame(PlayDriver& driver)
{
    driver.frame(0.02f);
    onDisplay();
}

// A game in play with a long transfer running, as the update benchmark has.
void setUpBoard(PlayDriver& driver)
{
    // The window state the game's entry sets before its main loop.
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    driver.startGame();
    driver.runOpening();
    const std::vector<Puck*>& pucks = liveMode.getPucks();
    for (Puck* puck : {pucks[0], pucks[9]})
    {
        driver.pointAt(puck->getPosition());
        driver.click(puck->getPosition());
    }
}

void dumpFrame(const char* fileName)
{
    // The frame just swapped is gone: draw the same state once more, unswapped.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    currentState->draw();
    glPopMatrix();
    const Frame frame = readFrame();
    FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr)
        return;
    std::fprintf(file, "P6\n%d %d\n255\n", frame.width, frame.height);
    // PPM rows run top to bottom; the frame's run bottom to top.
    for (int row = frame.height - 1; row >= 0; --row)
        std::fwrite(&frame.rgb[static_cast<std::size_t>(row) * frame.width * 3], 1,
                    static_cast<std::size_t>(frame.width) * 3, file);
    std::fclose(file);
}

void BM_DrawingAgainstClearAndSwap(benchmark::State& state)
{
    for (auto _ : state)
    {
        PlayDriver driver;
        setUpBoard(driver);
        std::vector<double> board;
        std::vector<double> clear;
        std::vector<double> boardProcess;
        std::vector<double> clearProcess;
        for (int round = 0; round < ROUNDS; ++round)
        {
            const Rates clearRates = measure(clearAndSwap);
            const Rates boardRates = measure([&driver] { playFrame(driver); });
            clear.push_back(clearRates.framesPerSecond);
            board.push_back(boardRates.framesPerSecond);
            clearProcess.push_back(clearRates.processMillisecondsPerFrame);
            boardProcess.push_back(boardRates.processMillisecondsPerFrame);
        }
        if (const char* dump = std::getenv("LUMEN_DRAW_DUMP"))
            dumpFrame(dump);
        changeState(&endState);
        glFinish();

        state.counters["board_fps"] = median(board);
        state.counters["clear_fps"] = median(clear);
        state.counters["board_to_clear"] = median(board) / median(clear);
        state.counters["board_process_ms"] = median(boardProcess);
        state.counters["clear_process_ms"] = median(clearProcess);
    }
}
} // namespace

BENCHMARK(BM_DrawingAgainstClearAndSwap)->Iterations(1)->Unit(benchmark::kMillisecond);
