// Where the browser's GLUT acts unlike the desktop's, the linker routes the
// calls here (--wrap) and they are made to act as on the desktop:
//
// - Asking for a window size is, on the desktop, a request that the window
//   system answers later with one reshape, and only if the size changed.
//   The browser's GLUT resizes the canvas at once and calls the reshape
//   callback from inside glutReshapeWindow, every time; the camera, which
//   asks for the 4:3 size from its reshape, would call itself without end.
//   A request for the size the canvas already has is answered with nothing.
// - The motion callbacks are given the pointer's position before the move
//   rather than after it, so a click would land where the pointer was one
//   move ago. They are given the pointer's position now, the one the button
//   callbacks get.

#include <GL/glut.h>
#include <emscripten.h>

namespace
{
using MotionCallback = void (*)(int, int);

MotionCallback gameMotion = nullptr;
MotionCallback gamePassiveMotion = nullptr;

// The pointer in canvas pixels, as GLUT computed it for the last mouse event.
EM_JS(int, pointerX, (), { return Browser.mouseX; });
EM_JS(int, pointerY, (), { return Browser.mouseY; });

void motionNow(int, int)
{
    gameMotion(pointerX(), pointerY());
}

void passiveMotionNow(int, int)
{
    gamePassiveMotion(pointerX(), pointerY());
}
} // namespace

extern "C"
{
void __real_glutReshapeWindow(int width, int height);
void __real_glutMotionFunc(MotionCallback callback);
void __real_glutPassiveMotionFunc(MotionCallback callback);

void __wrap_glutReshapeWindow(int width, int height)
{
    if (width == glutGet(GLUT_WINDOW_WIDTH) && height == glutGet(GLUT_WINDOW_HEIGHT))
        return;
    __real_glutReshapeWindow(width, height);
}

void __wrap_glutMotionFunc(MotionCallback callback)
{
    gameMotion = callback;
    __real_glutMotionFunc(callback != nullptr ? motionNow : nullptr);
}

void __wrap_glutPassiveMotionFunc(MotionCallback callback)
{
    gamePassiveMotion = callback;
    __real_glutPassiveMotionFunc(callback != nullptr ? passiveMotionNow : nullptr);
}
}
