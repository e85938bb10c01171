#include "glframework/Backdrop.h"

#include "glframework/TextureMap.h"

#include <GL/gl.h>

#include <cstring>

namespace
{
int powerOfTwoAtLeast(int size)
{
    int power = 1;
    while (power < size)
        power *= 2;
    return power;
}
} // namespace

Backdrop::~Backdrop()
{
    if (copyTexture != 0)
    {
        // The name may be handed out again: the drawing record must not
        // still say that it is bound.
        useTexture(TextureMap::NO_TEXTURE);
        const GLuint name = copyTexture;
        glDeleteTextures(1, &name);
    }
}

Backdrop& Backdrop::operator=(const Sprite& sprite)
{
    Sprite::operator=(sprite);
    isCopyValid = false;
    return *this;
}

bool Backdrop::isKept() const
{
    return isCopyValid;
}

void Backdrop::draw()
{
    if (hidden)
        return;
    const Placement placement = current();
    if (placement.viewport[2] <= 0 || placement.viewport[3] <= 0)
    {
        isCopyValid = false;
        Sprite::draw();
        return;
    }
    // Byte for byte: every field is a plain number set by the same calls.
    if (isCopyValid && std::memcmp(&placement, &kept, sizeof placement) == 0)
    {
        putBack(placement);
        return;
    }
    Sprite::draw();
    isCopyValid = keep(placement);
    if (isCopyValid)
        std::memcpy(&kept, &placement, sizeof kept);
}

Backdrop::Placement Backdrop::current() const
{
    // Without a GL context the queries leave the zeros.
    Placement placement{};
    glGetIntegerv(GL_VIEWPORT, placement.viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, placement.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, placement.modelView);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, placement.clearColor);
    const float fields[14] = {position.x, position.y, position.z, offset.x, offset.y, offset.z, scale.x,
                              scale.y,    scale.z,    angle,      color.x,  color.y,  color.z,  color.w};
    std::memcpy(placement.sprite, fields, sizeof fields);
    placement.textureId = getTextureId();
    placement.blended = blended ? 1u : 0u;
    return placement;
}

bool Backdrop::keep(const Placement& placement)
{
    const int width = placement.viewport[2];
    const int height = placement.viewport[3];
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const int texWidth = powerOfTwoAtLeast(width);
    const int texHeight = powerOfTwoAtLeast(height);
    if (texWidth > largest || texHeight > largest)
        return false;

    if (copyTexture == 0)
    {
        GLuint name = 0;
        glGenTextures(1, &name);
        copyTexture = name;
    }
    useTexture(copyTexture);
    if (texWidth != copyWidth || texHeight != copyHeight)
    {
        // Sampled at texel centres only, so nearest filtering returns each
        // pixel exactly as it was read.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        // Colour only: the copy is drawn unblended, so alpha never counts.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, texWidth, texHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        copyWidth = texWidth;
        copyHeight = texHeight;
    }

    // Errors left from earlier calls are not this copy's.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i)
    {
    }

    // Read from the buffer just drawn into.
    GLint drawBuffer = 0;
    GLint readBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    if (readBuffer != drawBuffer)
        glReadBuffer(static_cast<GLenum>(drawBuffer));
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, placement.viewport[0], placement.viewport[1], width, height);
    if (readBuffer != drawBuffer)
        glReadBuffer(static_cast<GLenum>(readBuffer));
    return glGetError() == GL_NO_ERROR;
}

void Backdrop::putBack(const Placement& placement)
{
    const float width = static_cast<float>(placement.viewport[2]);
    const float height = static_cast<float>(placement.viewport[3]);
    const float right = width / static_cast<float>(copyWidth);
    const float top = height / static_cast<float>(copyHeight);

    useTexture(copyTexture);
    useBlending(false);
    GLint environment = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    // The texels as they are: a straight copy is the renderer's cheapest draw.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    // One texel per pixel, window pixel (x, y) of the viewport from texel (x, y).
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(right, 0.0f);
    glVertex2f(width, 0.0f);
    glTexCoord2f(right, top);
    glVertex2f(width, height);
    glTexCoord2f(0.0f, top);
    glVertex2f(0.0f, height);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
}
