#include "support/GlTestWindow.h"

#include <GL/freeglut.h>

#include <chrono>
#include <thread>

namespace
{
int window = 0;

void displayNothing() {}
} // namespace

void ensureGlTestWindow()
{
    if (window != 0)
    {
        glutSetWindow(window);
        return;
    }
    int argc = 1;
    char name[] = "gltest";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    window = glutCreateWindow("gl test");
    glutDisplayFunc(displayNothing);
    // Return from glutMainLoopEvent instead of exiting if the window closes.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    pumpGlutEvents(0.2);
}

void pumpGlutEvents(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end)
    {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
