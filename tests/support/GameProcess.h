#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

struct _XDisplay;

// Runs the real game executable as a child process for end-to-end tests:
// started by default in the source folder (where img/ and sounds/ are), with
// its standard output and error captured line by line, under the display the
// test itself was given.
class GameProcess
{
public:
    // Starts program (the game built in this tree by default) in the folder
    // workingDirectory; extraEnvironment holds "NAME=value" entries added to
    // (or overriding) this process's environment.
    explicit GameProcess(const std::vector<std::string>& extraEnvironment = {},
                         const std::string& workingDirectory = LUMEN_SOURCE_DIR,
                         const std::string& program = LUMEN_GAME_BINARY);
    // Kills the game if it still runs.
    ~GameProcess();

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits up to timeoutSeconds for an output line equal to line; true if seen.
    bool waitForLine(const std::string& line, double timeoutSeconds);
    // Every complete output line read so far, in order.
    const std::vector<std::string>& lines();
    // Index of the first line equal to line, or -1.
    int indexOf(const std::string& line);
    // How many lines printed so far equal line.
    int count(const std::string& line);
    // Waits up to timeoutSeconds until at least times lines equal line.
    bool waitForCount(const std::string& line, int times, double timeoutSeconds);
    // Waits up to timeoutSeconds for an output line, from index from on, for
    // which wanted is true; returns its index, or -1.
    int waitFor(const std::function<bool(const std::string&)>& wanted, double timeoutSeconds,
                std::size_t from = 0);
    // Waits up to timeoutSeconds for the frame clock's line, which the game
    // prints once its main loop runs; true if seen.
    bool waitForMainLoop(double timeoutSeconds);
    // From the splash, clicks into the instructions and then into play in
    // window; true once the new game has played its gong.
    bool clickIntoPlay(const std::string& window);

    // The X window id of the game's window (decimal text), found by its
    // title with xdotool; empty if it did not appear within timeoutSeconds.
    std::string findWindow(double timeoutSeconds);
    // Runs "xdotool <arguments>"; returns its exit status.
    static int xdotool(const std::string& arguments);
    // Everything command printed on its standard output, bytes as they came.
    static std::string outputOf(const std::string& command);
    // Size in pixels of the window, read with xwininfo; false on failure.
    static bool windowSize(const std::string& window, int& width, int& height);

    // Asks the window to close, as a window manager's close button does
    // (a WM_DELETE_WINDOW message); false if the request could not be sent.
    static bool requestClose(const std::string& window);

    // Sends a signal to the game.
    void sendSignal(int signalNumber);
    // Waits up to timeoutSeconds for the game to end. Returns its exit
    // status, 128 + the signal number if a signal ended it, or -1 on timeout.
    int waitExit(double timeoutSeconds);

private:
    void readAvailable(int timeoutMilliseconds);

    // The test's own connection to the X server, held while the game runs:
    // the server resets whenever its last client leaves, and a game that
    // connects during a reset finds no display.
    _XDisplay* display;
    pid_t child;
    int outputFd;
    int exitStatus;
    bool exited;
    std::string partial;
    std::vector<std::string> output;
};
