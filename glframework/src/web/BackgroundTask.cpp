#include "glframework/BackgroundTask.h"

// The browser's page has one thread, and nothing may block it: the work runs
// at once, and there is never anything to wait for.

BackgroundTask::BackgroundTask() = default;

BackgroundTask::~BackgroundTask() = default;

void BackgroundTask::start(std::function<void()> work)
{
    work();
}

void BackgroundTask::wait()
{
}
