// In the browser, reading OpenGL state back (glGetIntegerv, glGetFloatv)
// waits for the GPU process to answer; a handful of such reads per frame
// cost more than the whole frame's drawing. The state the framework reads
// every frame is therefore kept here as it is set, and the reads of it are
// answered from here. The linker routes the calls through these wrappers
// (--wrap); every other read goes on to the emulation as before.
//
// Also answered here: the draw and read buffer, which WebGL does not know
// (it draws into and reads from the back buffer only).

#include <GL/gl.h>

#include <algorithm>

extern "C"
{
void __real_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void __real_glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void __real_glGetIntegerv(GLenum name, GLint* values);
void __real_glGetFloatv(GLenum name, GLfloat* values);
}

namespace
{
// Each value is read from GL once, the first time it is asked for before it
// has been set; from then on it is the last value set.
bool viewportKnown = false;
GLint viewport[4] = {0, 0, 0, 0};
bool clearColorKnown = false;
GLfloat clearColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
GLint maxTextureSize = 0; // fixed for the context's life; 0 until read
} // namespace

extern "C"
{
void __wrap_glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    __real_glViewport(x, y, width, height);
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
    viewportKnown = true;
}

void __wrap_glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    __real_glClearColor(red, green, blue, alpha);
    // Kept as GL keeps it: clamped to 0..1.
    const GLfloat given[4] = {red, green, blue, alpha};
    for (int i = 0; i < 4; ++i)
        clearColor[i] = std::min(1.0f, std::max(0.0f, given[i]));
    clearColorKnown = true;
}

void __wrap_glGetIntegerv(GLenum name, GLint* values)
{
    switch (name)
    {
    case GL_DRAW_BUFFER:
    case GL_READ_BUFFER:
        values[0] = GL_BACK;
        return;
    case GL_VIEWPORT:
        if (!viewportKnown)
        {
            __real_glGetIntegerv(GL_VIEWPORT, viewport);
            viewportKnown = true;
        }
        std::copy(viewport, viewport + 4, values);
        return;
    case GL_MAX_TEXTURE_SIZE:
        if (maxTextureSize == 0)
            __real_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
        values[0] = maxTextureSize;
        return;
    default:
        __real_glGetIntegerv(name, values);
    }
}

void __wrap_glGetFloatv(GLenum name, GLfloat* values)
{
    if (name != GL_COLOR_CLEAR_VALUE)
    {
        __real_glGetFloatv(name, values);
        return;
    }
    if (!clearColorKnown)
    {
        __real_glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
        clearColorKnown = true;
    }
    std::copy(clearColor, clearColor + 4, values);
}
}
