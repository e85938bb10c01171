#pragma once

#include "glframework/Vector3.h"
#include "glframework/Vector4.h"

#include <cstdint>

class TextureMap;

// The one drawable: a textured, tinted unit square centred on its origin,
// placed in the world by position, rotation about z, offset and scale. All
// sprites draw the same display list; consecutive sprites sharing a texture
// or blend state issue no redundant GL state changes.
// Copying copies every field, sharing the texture record and display list.
class Sprite
{
public:
    // White, opaque, blended, visible, scale 1, no texture. Builds the shared
    // unit quad on first use; a sprite made before a GL context exists records
    // display list 0 and draws nothing, so build sprites once the window exists.
    Sprite();
    // Virtual so that derived drawables are destroyed whole through a Sprite*.
    virtual ~Sprite();
    Sprite(const Sprite&) = default;
    Sprite& operator=(const Sprite&) = default;

    // Draws the sprite with the model-view matrix current (left as it was).
    // A hidden sprite makes no GL call at all. Without a loaded texture it
    // draws a plain quad in its colour.
    virtual void draw();

    // Takes the cached texture for fileName (loading it on first use; see
    // getTexture, whose key is the string's address). Returns the GL texture
    // name, or TextureMap::NO_TEXTURE (0xFFFFFFFF) when the file did not load.
    int setTexture(const char* fileName);
    // The GL texture name, 0xFFFFFFFF when there is none.
    std::uint32_t getTextureId() const;

    // World units.
    void setPosition(float x, float y, float z);
    void setPosition(const Vector3& p);
    Vector3 getPosition() const;
    void setZ(float z);

    // Size in world units; the quad itself is 1 x 1.
    void setScale(float s);
    void setScale(float x, float y, float z);
    void setScaleX(float x);
    float getScaleX() const;
    float getScaleY() const;

    // Rotation about the z axis in degrees, counter-clockwise.
    void setAngle(float degrees);
    float getAngle() const;

    // World units, applied after the rotation (so the offset turns with it).
    void setOffsetX(float x);
    void setOffsetY(float y);
    float getOffsetX() const;
    float getOffsetY() const;

    // Opacity 0..1 (the colour's w).
    void setAlpha(float a);
    float getAlpha() const;
    // RGBA tint, each 0..1; it multiplies the texture.
    void setColor(const Vector4& c);
    Vector4 getColor() const;

    // A hidden sprite keeps its fields but draw skips it.
    void hide();
    void show();
    bool isHidden() const;

protected:
    // Binds texture id (TextureMap::NO_TEXTURE switches texturing off) and
    // switches alpha blending on or off, each only when it differs from what
    // sprite drawing last applied. Drawables that bind textures or switch
    // blending of their own go through these, so that the record stays true.
    static void useTexture(std::uint32_t id);
    static void useBlending(bool blend);

    Vector3 position;
    Vector3 offset;
    Vector3 scale;
    float angle; // degrees
    Vector4 color;
    bool blended;
    bool hidden;
    TextureMap* texture; // shared, owned by the texture cache; null: untextured
    std::uint32_t displayList;

private:
    // Calls the display list once per window box outside of which the
    // texture leaves every pixel as it is, or once for the whole quad when
    // the boxes are not known for this drawing.
    void callListWhereVisible();

    // Shared by all sprites: the unit quad's display list (0: not built yet),
    // and the texture and blend state that sprite drawing last applied.
    static std::uint32_t unitQuadList;
    static std::uint32_t boundTexture; // NO_TEXTURE: none, GL_TEXTURE_2D disabled
    static bool blendEnabled;
};
