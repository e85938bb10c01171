#pragma once

// Global OpenGL settings of the one context. Each change is reported as a
// line on standard output. All need a current GL context.

// Looks for the platform's swap control (on the desktop GLX_EXT_swap_control,
// else GLX_MESA_swap_control, on the window's screen; the browser has none)
// and prints "VSync control disabled." when there is none.
// The swap interval is left as the driver has it.
void initVSync();
// Sets the swap interval to 1 (on) or 0 and prints "VSync enabled/disabled";
// does nothing at all when initVSync found no swap control.
void setVSync(bool on);
// True when swap control exists and the swap interval is above 0.
bool isVSyncOn();
// Whether initVSync found swap control.
bool isVSyncAvailable();

// Switches backface culling (counter-clockwise fronts) on or off.
void setBackfaceCulling(bool on);
// Switches the depth test on or off; when switching on with cullTransparent,
// fully transparent pixels are also kept out of the depth buffer.
void setDepthBuffer(bool on, bool cullTransparent);
