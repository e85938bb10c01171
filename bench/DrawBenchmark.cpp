// The frame rate of the play screen against a loop that only clears and
// swaps the same 800 x 600 window, measured alternately in one run. The
// board is a game in play: ten pucks with their auras, 200 sparkles and a
// transfer with its beam running, stepped 0.02 s per frame on a hand-driven
// clock, so that every run draws the same frames.
//
// With LUMEN_DRAW_DUMP=<file> set, the last board frame drawn is also
// written to <file> as a binary PPM, so that two builds' pictures can be
// compared pixel for pixel.
#include "PictureTestSupport.h"
#include "PlayDriver.h"
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

namespace
{
constexpr int FRAMES_PER_ROUND = 60;
constexpr int ROUNDS = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Frames per second of FRAMES_PER_ROUND runs of drawOne, all finished.
template <typename Draw>
double framesPerSecond(Draw drawOne)
{
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < FRAMES_PER_ROUND; ++i)
        drawOne();
    glFinish();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return FRAMES_PER_ROUND / seconds.count();
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
        for (int round = 0; round < ROUNDS; ++round)
        {
            clear.push_back(framesPerSecond(clearAndSwap));
            board.push_back(framesPerSecond([&driver] { playFrame(driver); }));
        }
        if (const char* dump = std::getenv("LUMEN_DRAW_DUMP"))
            dumpFrame(dump);
        changeState(&endState);
        glFinish();

        state.counters["board_fps"] = median(board);
        state.counters["clear_fps"] = median(clear);
        state.counters["board_to_clear"] = median(board) / median(clear);
    }
}
} // namespace

BENCHMARK(BM_DrawingAgainstClearAndSwap)->Iterations(1)->Unit(benchmark::kMillisecond);
