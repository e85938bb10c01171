#pragma once

#include "glframework/Vector3.h"

// Owns the window's viewport and projection. Whatever size the window is
// given, the camera asks it back into a 4:3 shape (the width decides) and sets
// the matrices so that the world always spans x -400..400 and y -300..300
// world units, origin at the window's centre, y up.
class Camera
{
public:
    // The world the window always shows, in world units, centred on the origin.
    static constexpr int WORLD_WIDTH = 800;
    static constexpr int WORLD_HEIGHT = 600;

    // Perspective on, 800 x 600; prints "Camera initialized".
    Camera();

    // Nonzero: perspective projection (55 degree field of view); 0:
    // orthographic. Takes effect at the next reshape.
    void setPerspective(int on);

    // Applies a window size in pixels: asks GLUT for width x (width * 0.75),
    // sets viewport, projection and the base model-view matrix. A width or
    // height of 0 or less, or a width of 1 (whose 4:3 height would be 0), is
    // refused with the line "reshape() values bad w:<width> h:<height>" and
    // changes nothing.
    // Needs a current GL context and a GLUT window.
    void reshape(int width, int height);

    // Only z is used: the eye depth the model-view matrix is translated by.
    Vector3 position;
    int width;         // pixels, after the last accepted reshape
    int height;        // pixels, always width * 0.75 truncated
    double aspect;     // width / height; 0 until the first reshape
    double fieldOfView; // degrees, perspective mode only
    int perspective;   // nonzero: perspective; 0: orthographic
};

// The camera that receives reshapes and that screenToWorld reads; null until set.
extern Camera* activeCamera;

// Makes camera the active one (not owned).
void setActiveCamera(Camera* camera);

// Turns a window pixel (origin top-left, y down, as GLUT gives it) into a
// world point in the plane z = 0. Without an active camera an 800-pixel-wide
// window is assumed.
Vector3 screenToWorld(int x, int y);
