// The browser's emulation of fixed-function OpenGL sits on WebGL 1, which
// refuses a few things the desktop's OpenGL takes. The linker routes these
// calls here (--wrap) and each is given the nearest thing WebGL has, so that
// the framework draws the same way on both platforms and the console stays
// free of refusals:
// - GL_CLAMP as a texture wrap mode (gone from WebGL): clamp to the edge;
// - a sized internal format such as GL_RGBA8 for a texture: WebGL 1 wants
//   the internal format to name the same channels as the data;
// - the perspective correction hint and the shade model, which WebGL does
//   not know: its interpolation is always perspective-correct and smooth.

#include <GL/gl.h>

extern "C"
{
void __real_glTexParameteri(GLenum target, GLenum name, GLint value);
void __real_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const void* pixels);
void __real_glHint(GLenum target, GLenum mode);

void __wrap_glTexParameteri(GLenum target, GLenum name, GLint value)
{
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && value == GL_CLAMP)
        value = GL_CLAMP_TO_EDGE;
    __real_glTexParameteri(target, name, value);
}

void __wrap_glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border,
                         GLenum format, GLenum type, const void* pixels)
{
    __real_glTexImage2D(target, level, static_cast<GLint>(format), width, height, border, format, type, pixels);
}

void __wrap_glHint(GLenum target, GLenum mode)
{
    if (target == GL_PERSPECTIVE_CORRECTION_HINT)
        return;
    __real_glHint(target, mode);
}

void __wrap_glShadeModel(GLenum)
{
}
}
