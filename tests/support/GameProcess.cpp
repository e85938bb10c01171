#include "support/GameProcess.h"

#include "support/RealTime.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

GameProcess::GameProcess(const std::vector<std::string>& extraEnvironment,
                         const std::string& workingDirectory, const std::string& program)
    : display(nullptr), child(-1), outputFd(-1), exitStatus(-1), exited(false)
{
    // Once this connection stands, the server cannot reset under the game.
    waitUntil([this] { return (display = XOpenDisplay(nullptr)) != nullptr; }, 10.0, 0.02);
    int fds[2];
    if (pipe(fds) != 0)
        return;
    child = fork();
    if (child == 0)
    {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(126);
        for (const std::string& entry : extraEnvironment)
            putenv(strdup(entry.c_str()));
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    outputFd = fds[0];
    fcntl(outputFd, F_SETFL, fcntl(outputFd, F_GETFL) | O_NONBLOCK);
}

GameProcess::~GameProcess()
{
    if (child > 0 && !exited)
    {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (outputFd >= 0)
        close(outputFd);
    if (display != nullptr)
        XCloseDisplay(display);
}

void GameProcess::readAvailable(int timeoutMilliseconds)
{
    if (outputFd < 0)
        return;
    pollfd entry{outputFd, POLLIN, 0};
    if (poll(&entry, 1, timeoutMilliseconds) <= 0)
        return;
    char buffer[4096];
    ssize_t got;
    while ((got = read(outputFd, buffer, sizeof buffer)) > 0)
    {
        partial.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = partial.find('\n')) != std::string::npos)
        {
            output.push_back(partial.substr(0, end));
            partial.erase(0, end + 1);
        }
    }
}

bool GameProcess::waitForLine(const std::string& line, double timeoutSeconds)
{
    const Clock::time_point start = Clock::now();
    std::size_t checked = 0;
    while (true)
    {
        for (; checked < output.size(); ++checked)
            if (output[checked] == line)
                return true;
        if (secondsSince(start) > timeoutSeconds)
            return false;
        readAvailable(50);
    }
}

const std::vector<std::string>& GameProcess::lines()
{
    readAvailable(0);
    return output;
}

int GameProcess::indexOf(const std::string& line)
{
    readAvailable(0);
    for (std::size_t i = 0; i < output.size(); ++i)
        if (output[i] == line)
            return static_cast<int>(i);
    return -1;
}

int GameProcess::count(const std::string& line)
{
    readAvailable(0);
    return static_cast<int>(std::count(output.begin(), output.end(), line));
}

bool GameProcess::waitForCount(const std::string& line, int times, double timeoutSeconds)
{
    const Clock::time_point start = Clock::now();
    while (count(line) < times)
    {
        if (secondsSince(start) > timeoutSeconds)
            return false;
        readAvailable(20);
    }
    return true;
}

int GameProcess::waitFor(const std::function<bool(const std::string&)>& wanted, double timeoutSeconds,
                         std::size_t from)
{
    const Clock::time_point start = Clock::now();
    std::size_t checked = from;
    while (true)
    {
        for (; checked < output.size(); ++checked)
            if (wanted(output[checked]))
                return static_cast<int>(checked);
        if (secondsSince(start) > timeoutSeconds)
            return -1;
        readAvailable(50);
    }
}

bool GameProcess::waitForMainLoop(double timeoutSeconds)
{
    const auto clockLine = [](const std::string& line) { return line.rfind("QueryPerformanceFrequency: ", 0) == 0; };
    return waitFor(clockLine, timeoutSeconds) >= 0;
}

bool GameProcess::clickIntoPlay(const std::string& window)
{
    xdotool("mousemove --window " + window + " 400 300 click 1");
    if (!waitForLine("Loaded texture ./img/instructions.jpg", 10))
        return false;
    xdotool("click 1");
    return waitForLine("Playing gong", 10);
}

std::string GameProcess::findWindow(double timeoutSeconds)
{
    const Clock::time_point start = Clock::now();
    while (secondsSince(start) < timeoutSeconds)
    {
        // GLUT does not publish the process id on its window, so the window
        // is found by its title; the tests run one game at a time.
        std::string found =
            GameProcess::outputOf("xdotool search --onlyvisible --name '^TODO: CHANGE THIS$' 2>/dev/null");
        const std::size_t end = found.find('\n');
        if (end != std::string::npos && end > 0)
            return found.substr(0, end);
        readAvailable(100);
    }
    return std::string();
}

int GameProcess::xdotool(const std::string& arguments)
{
    const int status = std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool GameProcess::windowSize(const std::string& window, int& width, int& height)
{
    const std::string info = GameProcess::outputOf("xwininfo -id " + window + " 2>/dev/null");
    const std::size_t w = info.find("Width: ");
    const std::size_t h = info.find("Height: ");
    if (w == std::string::npos || h == std::string::npos)
        return false;
    width = std::atoi(info.c_str() + w + 7);
    height = std::atoi(info.c_str() + h + 8);
    return true;
}

bool GameProcess::requestClose(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::strtoul(window.c_str(), nullptr, 10));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0;
}

void GameProcess::sendSignal(int signalNumber)
{
    if (child > 0 && !exited)
        kill(child, signalNumber);
}

int GameProcess::waitExit(double timeoutSeconds)
{
    const Clock::time_point start = Clock::now();
    while (!exited)
    {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
        {
            exited = true;
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (secondsSince(start) > timeoutSeconds)
            return -1;
        readAvailable(20);
    }
    readAvailable(0);
    return exitStatus;
}

std::string GameProcess::outputOf(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}
