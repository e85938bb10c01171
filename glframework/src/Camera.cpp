#include "glframework/Camera.h"

#include "glframework/Log.h"

#include <GL/glut.h>
#include <GL/glu.h>


Camera* activeCamera = nullptr;

Camera::Camera()
    : position(0.0f, 0.0f, 0.0f), width(WORLD_WIDTH), height(WORLD_HEIGHT), aspect(0.0), fieldOfView(55.0),
      perspective(1)
{
    logLine("Camera initialized");
}

void Camera::setPerspective(int on)
{
    perspective = on;
}

void Camera::reshape(int w, int h)
{
    const int newHeight = static_cast<int>(w * 0.75);
    // A window 1 pixel wide has no 4:3 height, and asking X for a height of 0
    // is an error that ends the program: refused like a window of no size.
    if (w <= 0 || h <= 0 || newHeight <= 0)
    {
        logLine("reshape() values bad w:", w, " h:", h);
        return;
    }

    // If this changes the window's size GLUT reshapes again with the new size,
    // which lands here and asks for the same size: the loop settles at once.
    glutReshapeWindow(w, newHeight);

    width = w;
    height = newHeight;
    aspect = static_cast<double>(w) / newHeight;

    glViewport(0, 0, w, newHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (perspective != 0)
        gluPerspective(fieldOfView, aspect, 0.1, 1000.0);
    else
        glOrtho(0, w, 0, newHeight, 0, 100);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(static_cast<float>(w / 2), static_cast<float>(newHeight / 2), position.z);
    if (perspective == 0)
        glTranslatef(0.375f, 0.375f, 0.0f); // pixel-centre offset for exact rasterisation
    glScalef(static_cast<float>(w / static_cast<double>(WORLD_WIDTH)),
             static_cast<float>(newHeight / static_cast<double>(WORLD_HEIGHT)), 1.0f);
}

void setActiveCamera(Camera* camera)
{
    activeCamera = camera;
}

Vector3 screenToWorld(int x, int y)
{
    const int w = activeCamera != nullptr ? activeCamera->width : Camera::WORLD_WIDTH;
    // One scale serves both axes because the window is always 4:3.
    const float scale = static_cast<float>(static_cast<double>(Camera::WORLD_WIDTH) / w);
    return Vector3(x * scale - Camera::WORLD_WIDTH / 2.0f, Camera::WORLD_HEIGHT / 2.0f - y * scale, 0.0f);
}
