// One frame of play as the idle callback runs it (the frame clock's tick and
// the play screen's update), with ten pucks, 200 sparkles and a transfer
// with its beam running, on a hand-driven clock of 0.02 s per frame.
#include "support/AllocationCounter.h"
#include "support/PlayDriver.h"
#include "Screens.h"

#include "glframework/FrameClock.h"
#include "glframework/State.h"

#include "Puck.h"
#include "Selection.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
// The brightest puck gives to the darkest across the board: a long
// transfer, the beam running along the arrow between them.
void startTransfer(PlayDriver& driver)
{
    liveMode.setLeftLevel(50.0f);
    liveMode.setRightLevel(50.0f);
    const std::vector<Puck*>& pucks = liveMode.getPucks();
    const Vector3 places[] = {{-150, 0, 0},  {-200, 220, 0}, {-150, 220, 0}, {-100, 220, 0},
                              {-50, 220, 0}, {0, 220, 0},    {50, 220, 0},   {100, 220, 0},
                              {150, 220, 0}, {150, 0, 0}};
    for (std::size_t i = 0; i < pucks.size(); ++i)
    {
        pucks[i]->setPosition(places[i]);
        pucks[i]->setBrightness(i == 0 ? 100.0f : i == 9 ? 1.0f : pucks[i]->getBrightness());
    }
    for (Puck* puck : {pucks[0], pucks[9]})
    {
        driver.pointAt(puck->getPosition());
        driver.click(puck->getPosition());
    }
    // The first frame of a transfer starts its animations.
    driver.frame(0.02f);
}

void BM_PlayUpdate(benchmark::State& state)
{
    PlayDriver driver;
    driver.startGame();
    driver.runOpening();
    startTransfer(driver);

    std::size_t frames = 0;
    std::size_t allocations = 0;
    for (auto _ : state)
    {
        if (liveMode.getSelection()->getMode() != Transferring || currentState != &liveMode)
        {
            state.PauseTiming();
            if (currentState != &liveMode)
                state.SkipWithError("the game ended during the benchmark");
            startTransfer(driver);
            state.ResumeTiming();
        }
        const std::size_t before = allocationCount();
        driver.advanceClock(0.02f);
        frameClock().tick();
        liveMode.update();
        allocations += allocationCount() - before;
        ++frames;
    }
    state.counters["allocations_per_frame"] =
        frames > 0 ? static_cast<double>(allocations) / static_cast<double>(frames) : 0.0;
    if (allocations > 0)
        state.SkipWithError("a steady frame allocated on the heap");
    changeState(&endState);
}
} // namespace

BENCHMARK(BM_PlayUpdate)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);
