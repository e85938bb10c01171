#include "Screens.h"

#include "glframework/Camera.h"
#include "glframework/GlutCallbacks.h"
#include "glframework/RenderSettings.h"
#include "glframework/State.h"
#include "glframework/WindowIcons.h"
#include "glframework/WindowIdentity.h"

#include <GL/glut.h>

#include <iterator>

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(Camera::WORLD_WIDTH, Camera::WORLD_HEIGHT);
    glutCreateWindow("TODO: CHANGE THIS");
    // The class matches the desktop entry (lumen.desktop), so that a task
    // bar groups the window under it and shows its icon.
    WindowIdentity::apply("lumen", "Lumen", windowIcons, std::size(windowIcons));

    camera.setPerspective(0);
    camera.position.z = -50.0f;
    setActiveCamera(&camera);

    registerGlutCallbacks();

    // The sound has been starting while the window opened; its log lines
    // come first.
    liveMode.waitForSound();
    // The start screen loads its first picture now, before the state below.
    changeState(&startState);

    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    initVSync();
    setBackfaceCulling(false);
    setDepthBuffer(false, false);
    glEnable(GL_NORMALIZE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glutMainLoop();
    return 0;
}
