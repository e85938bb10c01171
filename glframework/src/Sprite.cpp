#include "glframework/Sprite.h"

#include "glframework/TextureManager.h"
#include "glframework/TextureMap.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

std::uint32_t Sprite::unitQuadList = 0;
std::uint32_t Sprite::boundTexture = TextureMap::NO_TEXTURE;
bool Sprite::blendEnabled = false;

namespace
{
// The centred unit square facing +z, texture row 0 along its top edge.
GLuint buildUnitQuad()
{
    // Without a current context this yields 0 and the next sprite tries again.
    const GLuint list = glGenLists(1);
    if (list == 0)
        return 0;
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glEnd();
    glEndList();
    return list;
}

// Sprites smaller than this on screen, in pixels along either side, are
// drawn whole: skipping pixels would save less than the extra draws cost.
constexpr float SMALLEST_BOXED_SIDE = 128.0f;

} // namespace

Sprite::Sprite()
    : position(0.0f, 0.0f, 0.0f), offset(0.0f, 0.0f, 0.0f), scale(1.0f, 1.0f, 1.0f), angle(0.0f),
      color(1.0f, 1.0f, 1.0f, 1.0f), blended(true), hidden(false), texture(nullptr), displayList(0)
{
    if (unitQuadList == 0)
        unitQuadList = buildUnitQuad();
    displayList = unitQuadList;
}

Sprite::~Sprite()
{
    if (texture != nullptr)
        texture->release();
}

void Sprite::draw()
{
    if (hidden)
        return;

    const std::uint32_t id = getTextureId();
    useTexture(id);

    // Blending a fully opaque picture at full alpha gives exactly the
    // picture: skip the blend.
    const bool opaque = texture != nullptr && id != TextureMap::NO_TEXTURE &&
                        texture->coverage.isOpaque() && color.w >= 1.0f;
    const bool blend = blended && !opaque;
    useBlending(blend);

    glPushMatrix();
    glColor4f(color.x, color.y, color.z, color.w);
    glTranslatef(position.x, position.y, position.z);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(offset.x, offset.y, offset.z);
    glScalef(scale.x, scale.y, scale.z);
    if (blend && id != TextureMap::NO_TEXTURE && texture->coverage.hasEmptyCells())
        callListWhereVisible();
    else
        glCallList(displayList);
    glPopMatrix();
}

void Sprite::useTexture(std::uint32_t id)
{
    if (id == boundTexture)
        return;
    if (boundTexture == TextureMap::NO_TEXTURE)
        glEnable(GL_TEXTURE_2D);
    if (id == TextureMap::NO_TEXTURE)
        glDisable(GL_TEXTURE_2D);
    else
        glBindTexture(GL_TEXTURE_2D, id);
    boundTexture = id;
}

void Sprite::useBlending(bool blend)
{
    if (blend == blendEnabled)
        return;
    if (blend)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    else
    {
        glDisable(GL_BLEND);
    }
    blendEnabled = blend;
}

void Sprite::callListWhereVisible()
{
    GLfloat model[16];
    GLfloat projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Only an unrotated square under a parallel projection lands on the
    // window as an upright rectangle that the boxes can describe.
    const bool upright = model[1] == 0.0f && model[4] == 0.0f && model[3] == 0.0f && model[7] == 0.0f &&
                         model[15] == 1.0f && projection[1] == 0.0f && projection[4] == 0.0f &&
                         projection[3] == 0.0f && projection[7] == 0.0f && projection[8] == 0.0f &&
                         projection[9] == 0.0f && projection[11] == 0.0f && projection[15] == 1.0f;
    const float halfWidth = 0.5f * static_cast<float>(viewport[2]);
    const float halfHeight = 0.5f * static_cast<float>(viewport[3]);
    const float scaleX = projection[0] * model[0] * halfWidth;
    const float scaleY = projection[5] * model[5] * halfHeight;
    const float offsetX = static_cast<float>(viewport[0]) + (projection[0] * model[12] + projection[12] + 1.0f) * halfWidth;
    const float offsetY = static_cast<float>(viewport[1]) + (projection[5] * model[13] + projection[13] + 1.0f) * halfHeight;

    const std::vector<TextureCoverage::Box>* boxes =
        upright && std::fabs(scaleX) >= SMALLEST_BOXED_SIDE && std::fabs(scaleY) >= SMALLEST_BOXED_SIDE
            ? texture->coverage.windowBoxes(scaleX, offsetX, scaleY, offsetY)
            : nullptr;
    if (boxes == nullptr)
    {
        glCallList(displayList);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    for (const TextureCoverage::Box& box : *boxes)
    {
        glScissor(box.x, box.y, box.width, box.height);
        glCallList(displayList);
    }
    glDisable(GL_SCISSOR_TEST);
}

int Sprite::setTexture(const char* fileName)
{
    if (texture != nullptr)
        texture->release();
    texture = getTexture(fileName);
    // A first load binds the new texture behind the drawing record's back. While
    // texturing is on, mark the binding unknown with 0, a name no loaded texture
    // has, so that the next textured sprite binds its own texture again instead
    // of drawing with the new one.
    if (boundTexture != TextureMap::NO_TEXTURE)
        boundTexture = 0;
    return static_cast<int>(getTextureId());
}

std::uint32_t Sprite::getTextureId() const
{
    return texture != nullptr ? texture->id : TextureMap::NO_TEXTURE;
}

void Sprite::setPosition(float x, float y, float z)
{
    position = Vector3(x, y, z);
}

void Sprite::setPosition(const Vector3& p)
{
    position = p;
}

Vector3 Sprite::getPosition() const
{
    return position;
}

void Sprite::setZ(float z)
{
    position.z = z;
}

void Sprite::setScale(float s)
{
    scale = Vector3(s, s, s);
}

void Sprite::setScale(float x, float y, float z)
{
    scale = Vector3(x, y, z);
}

void Sprite::setScaleX(float x)
{
    scale.x = x;
}

float Sprite::getScaleX() const
{
    return scale.x;
}

float Sprite::getScaleY() const
{
    return scale.y;
}

void Sprite::setAngle(float degrees)
{
    angle = degrees;
}

float Sprite::getAngle() const
{
    return angle;
}

void Sprite::setOffsetX(float x)
{
    offset.x = x;
}

void Sprite::setOffsetY(float y)
{
    offset.y = y;
}

float Sprite::getOffsetX() const
{
    return offset.x;
}

float Sprite::getOffsetY() const
{
    return offset.y;
}

void Sprite::setAlpha(float a)
{
    color.w = a;
}

float Sprite::getAlpha() const
{
    return color.w;
}

void Sprite::setColor(const Vector4& c)
{
    color = c;
}

Vector4 Sprite::getColor() const
{
    return color;
}

void Sprite::hide()
{
    hidden = true;
}

void Sprite::show()
{
    hidden = false;
}

bool Sprite::isHidden() const
{
    return hidden;
}
