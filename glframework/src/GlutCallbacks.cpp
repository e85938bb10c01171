#include "glframework/GlutCallbacks.h"

#include "glframework/Camera.h"
#include "glframework/FrameClock.h"
#include "glframework/Log.h"
#include "glframework/State.h"

#include "ProgramExit.h"

#include <GL/glut.h>

#include <utility>

namespace
{
std::function<int()> modifierSource;

int currentModifiers()
{
    if (modifierSource)
        return modifierSource();
    return glutGetModifiers();
}

// Logs one key event as its two lines; returns the modifier mask it logged.
int logKey(const char* label, unsigned char key)
{
    // A line feed (Ctrl+J, the Linefeed key) would break its line in two:
    // only its code is written.
    if (key == '\n')
        logLine(label, "(", static_cast<unsigned>(key), ")");
    else
        logLine(label, key, "(", static_cast<unsigned>(key), ")");
    const int modifiers = currentModifiers();
    logLine("Modifiers: ", modifiers);
    return modifiers;
}

int logSpecial(const char* label, int key)
{
    logLine(label, key, "(", key, ")");
    const int modifiers = currentModifiers();
    logLine("Modifiers: ", modifiers);
    return modifiers;
}
} // namespace

void setModifierSource(std::function<int()> source)
{
    modifierSource = std::move(source);
}

void onIdle()
{
    tickFrameClock();
    if (currentState != nullptr)
        currentState->update();
    glutPostRedisplay();
}

void onDisplay()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    if (currentState != nullptr)
        currentState->draw();
    glPopMatrix();
    glutSwapBuffers();
}

void onReshape(int width, int height)
{
    if (activeCamera != nullptr)
        activeCamera->reshape(width, height);
}

void onMouse(int button, int state, int x, int y)
{
    if (currentState != nullptr)
        currentState->mouseButton(button, state, x, y);
}

void onMotion(int x, int y)
{
    if (currentState != nullptr)
        currentState->mouseDrag(x, y);
}

void onPassiveMotion(int x, int y)
{
    if (currentState != nullptr)
        currentState->mouseMove(x, y);
}

void onKeyDown(unsigned char key, int x, int y)
{
    logKey("Key Down: ", key);
    if (key == 27) // Escape
        ProgramExit::now(0);
    if (key == 17) // Ctrl+Q arrives as its control code
        ProgramExit::now(0);
    if (currentState != nullptr)
        currentState->keyDown(key, x, y);
}

void onKeyUp(unsigned char key, int x, int y)
{
    logKey("Key Up: ", key);
    if (currentState != nullptr)
        currentState->keyUp(key, x, y);
}

void onSpecialDown(int key, int x, int y)
{
    const int modifiers = logSpecial("Special Down: ", key);
    if (key == GLUT_KEY_F4 && (modifiers & GLUT_ACTIVE_ALT) != 0)
        ProgramExit::now(0);
    if (currentState != nullptr)
        currentState->specialKeyDown(key, x, y);
}

void onSpecialUp(int key, int x, int y)
{
    logSpecial("Special Up: ", key);
    if (currentState != nullptr)
        currentState->specialKeyUp(key, x, y);
}

void registerGlutCallbacks()
{
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
}
