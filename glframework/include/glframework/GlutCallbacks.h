#pragma once

#include <functional>

// The GLUT callbacks of the program. Each forwards its event to the current
// screen (and does nothing with it while no screen is current); the keyboard
// callbacks first log the event and handle the exit keys (Escape, Ctrl+Q,
// Alt+F4), which end the process with status 0. A key is logged as the line
// "Key Down: <character>(<code>)" (or "Key Up: "), its character left out
// for a line feed (code 10) so that the line stays whole, then the line
// "Modifiers: <mask>".

// Ticks the frame clock, updates the current screen, posts a redisplay.
void onIdle();
// Clears, draws the current screen between a matrix push and pop, swaps.
void onDisplay();
// Passes a new window size in pixels to the active camera.
void onReshape(int width, int height);
void onMouse(int button, int state, int x, int y);
void onMotion(int x, int y);
void onPassiveMotion(int x, int y);
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialDown(int key, int x, int y);
void onSpecialUp(int key, int x, int y);

// Registers all ten callbacks with GLUT, in the program's fixed order.
void registerGlutCallbacks();

// Where the keyboard callbacks read the modifier mask (GLUT_ACTIVE_SHIFT 1,
// GLUT_ACTIVE_CTRL 2, GLUT_ACTIVE_ALT 4); glutGetModifiers by default. Lets the
// keyboard handling run without a window. An empty function restores the default.
void setModifierSource(std::function<int()> source);
