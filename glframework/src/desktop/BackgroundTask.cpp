#include "glframework/BackgroundTask.h"

#include <system_error>
#include <utility>

BackgroundTask::BackgroundTask() = default;

BackgroundTask::~BackgroundTask()
{
    wait();
}

void BackgroundTask::start(std::function<void()> work)
{
    try
    {
        thread = std::thread(work);
    }
    catch (const std::system_error&)
    {
        // Out of threads: the work is still done, only not beside the caller.
        work();
    }
}

void BackgroundTask::wait()
{
    if (thread.joinable())
        thread.join();
}
