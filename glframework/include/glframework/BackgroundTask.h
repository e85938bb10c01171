#pragma once

#include <functional>
#include <thread>

// One piece of work run beside the thread that starts it, where the
// platform has threads: start-up work that may overlap with opening the
// window. In the browser, which has one thread that must never block, the
// work runs at once on the caller's thread instead.
class BackgroundTask
{
public:
    // Nothing started.
    BackgroundTask();
    // Waits for the work (see wait).
    ~BackgroundTask();

    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Runs work on a thread of its own; where no thread can be started, runs
    // it before returning. At most one piece of work per task.
    void start(std::function<void()> work);
    // Returns once the work has finished; at once when none was started or
    // it ran before start returned. Called from the thread that started it.
    void wait();

private:
    std::thread thread; // the work's thread while it may run; never started in the browser
};
