#include "support/GlTestWindow.h"

#include "support/RealTime.h"

#include <GL/freeglut.h>

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
    const Clock::time_point start = Clock::now();
    while (secondsSince(start) < seconds)
    {
        glutMainLoopEvent();
        pause(0.01);
    }
}
