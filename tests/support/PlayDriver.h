#pragma once

#include "support/CoutCapture.h"

#include "glframework/Vector3.h"

#include <cstdint>

// Plays the game inside the test process: the frame clock under the test's
// hand, frames run through the idle callback, and the pointer moved, pressed
// and released in window pixels through the mouse callbacks, as GLUT would
// deliver them. Everything the game prints while a driver lives is captured.
class PlayDriver
{
public:
    // Seconds per frame unless a test asks for another step.
    static constexpr float FRAME = 0.02f;

    // Opens the GL test window (800 x 600, world units = pixels), puts the
    // frame clock under the driver's hand and ticks it once.
    PlayDriver();
    // Hands the frame clock back to the machine.
    ~PlayDriver();

    PlayDriver(const PlayDriver&) = delete;
    PlayDriver& operator=(const PlayDriver&) = delete;

    // Switches to the play screen: a new game's opening begins.
    void startGame();
    // Moves the hand-driven counter on by dt seconds; the next tick sees it.
    void advanceClock(float dt);
    // Advances the clock by dt seconds and runs one idle callback.
    void frame(float dt = FRAME);
    // Runs frames for the given seconds, stopping early when the current
    // screen changes; returns the seconds run.
    float run(float seconds);
    // Runs the opening and the pucks' grow-in: every puck at full size.
    void runOpening();

    // The window pixel over a board point, as a pointer would reach it.
    static int pixelX(const Vector3& board);
    static int pixelY(const Vector3& board);
    // Pointer moved with no button held, over the board point.
    void pointAt(const Vector3& board);
    // Pointer moved with a button held.
    void dragTo(const Vector3& board);
    // A press and a release of a GLUT button over the board point.
    void click(const Vector3& board, int button = 0);

    CoutCapture log;

private:
    std::int64_t ticks; // nanoseconds of the hand-driven counter
};
