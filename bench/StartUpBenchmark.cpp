// Start-up time, from starting the process to its first frame swapped, of
// the game (with every picture and sound that it loads by then) against a
// minimal GLUT program that opens a window of the same size, clears it and
// swaps; the two are started alternately in the same run. A preloaded probe
// library notes the first swap and ends the process there.
//
// Two cases: the machine's own sound device, whatever it is (on a machine
// without a sound card the game falls back to silence), and SDL's silent
// driver standing in for a working device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr int RUNS = 7;

long long nowNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from the start of program, run in folder, to its first swap;
// a negative value if it ended without swapping.
double startUpMilliseconds(const char* program, const char* folder, bool silentDriver)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1.0;
    const long long start = nowNanoseconds();
    const pid_t child = fork();
    if (child == 0)
    {
        close(fds[0]);
        if (chdir(folder) != 0)
            _exit(126);
        setenv("LD_PRELOAD", LUMEN_SWAP_PROBE, 1);
        setenv("LUMEN_SWAP_PROBE_FD", std::to_string(fds[1]).c_str(), 1);
        if (silentDriver)
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        else
            unsetenv("SDL_AUDIODRIVER");
        // The game's log is not part of the measurement.
        if (freopen("/dev/null", "w", stdout) == nullptr || freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char text[32] = {};
    const ssize_t length = read(fds[0], text, sizeof text - 1);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    if (length <= 0)
        return -1.0;
    return static_cast<double>(std::atoll(text) - start) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_StartUpAgainstMinimalGlut(benchmark::State& state)
{
    const bool silentDriver = state.range(0) != 0;
    for (auto _ : state)
    {
        std::vector<double> game;
        std::vector<double> minimal;
        for (int run = 0; run < RUNS; ++run)
        {
            minimal.push_back(startUpMilliseconds(LUMEN_MINIMAL_GLUT, LUMEN_SOURCE_DIR, silentDriver));
            game.push_back(startUpMilliseconds(LUMEN_GAME_BINARY, LUMEN_SOURCE_DIR, silentDriver));
        }
        if (*std::min_element(game.begin(), game.end()) < 0.0 ||
            *std::min_element(minimal.begin(), minimal.end()) < 0.0)
        {
            state.SkipWithError("a program ended before its first frame");
            return;
        }
        state.counters["game_ms"] = median(game);
        state.counters["minimal_ms"] = median(minimal);
        state.counters["game_to_minimal"] = median(game) / median(minimal);
    }
}
} // namespace

BENCHMARK(BM_StartUpAgainstMinimalGlut)
    ->ArgName("silent_driver")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
