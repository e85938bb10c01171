#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"
#include "support/TempFolder.h"

#include "glframework/Sprite.h"
#include "glframework/TextureCoverage.h"
#include "glframework/TextureManager.h"
#include "glframework/TextureMap.h"
#include "glframework/Vector4.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t BLACK = 0x000000;
constexpr std::uint32_t RED = 0xFF0000;
constexpr std::uint32_t GREEN = 0x00FF00;
constexpr std::uint32_t BLUE = 0x0000FF;
constexpr std::uint32_t WHITE = 0xFFFFFF;

GLint boundTexture()
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

class SpriteTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpPixelWorld();
        ASSERT_FALSE(dir.empty());
        // Quadrants: red top-left, green top-right, white bottom-left, blue bottom-right.
        const std::string quadrants = "-size 64x64 xc:blue -fill red -draw 'rectangle 0,0 31,31' "
                                      "-fill lime -draw 'rectangle 32,0 63,31' "
                                      "-fill white -draw 'rectangle 0,32 31,63' ";
        ASSERT_TRUE(convert(quadrants + dir + "/quadrants.png"));
        ASSERT_TRUE(convert(quadrants + "-quality 100 " + dir + "/quadrants.jpg"));
        // TGA files may store their rows either way round; make one of each.
        ASSERT_TRUE(convert(quadrants + "-orient TopLeft " + dir + "/quadrants-top.tga"));
        ASSERT_TRUE(convert(quadrants + "-flip -orient BottomLeft " + dir + "/quadrants-bottom.tga"));
        ASSERT_TRUE(convert("-size 16x16 xc:red " + dir + "/red.png"));
        // Hard edges of an opaque quarter exactly on cell boundaries.
        ASSERT_TRUE(convert("-size 256x256 xc:none -fill red -draw 'rectangle 0,0 127,127' PNG32:" + dir + "/quarter.png"));
        ASSERT_TRUE(convert("-size 16x16 xc:blue " + dir + "/blue.png"));
        ASSERT_TRUE(convert("-size 16x16 xc:white " + dir + "/white.png"));
        std::ofstream(dir + "/corrupt.png") << "\x89PNG\r\n\x1a\n not really a picture";
    }

    void SetUp() override { clearFrame(); }

    // A sprite of the given texture file, square, opaque drawing.
    static Sprite textured(const std::string& file, float size)
    {
        Sprite sprite;
        std::ostringstream quiet;
        std::streambuf* saved = std::cout.rdbuf(quiet.rdbuf());
        sprite.setTexture(name(file));
        std::cout.rdbuf(saved);
        sprite.setScale(size);
        return sprite;
    }

    // One lasting name string per file, so that each file is one cache key.
    static const char* name(const std::string& file)
    {
        static std::map<std::string, const char*> names;
        auto found = names.find(file);
        if (found == names.end())
            found = names.emplace(file, keepName(dir + "/" + file)).first;
        return found->second;
    }

    // Made before the first test and removed when the program ends.
    inline static const TempFolder scratch{"lumen-pictures"};
    inline static const std::string& dir = scratch.path;
};

TEST_F(SpriteTest, PicturesShowUpright)
{
    for (const char* file : {"quadrants.png", "quadrants.jpg", "quadrants-top.tga", "quadrants-bottom.tga"})
    {
        clearFrame();
        Sprite sprite = textured(file, 200.0f);
        ASSERT_NE(sprite.getTextureId(), TextureMap::NO_TEXTURE) << file;
        sprite.draw();
        const Frame frame = readFrame();
        EXPECT_TRUE(near(frame.atWorld(-50, 50), RED)) << file << std::hex << " " << frame.atWorld(-50, 50);
        EXPECT_TRUE(near(frame.atWorld(50, 50), GREEN)) << file;
        EXPECT_TRUE(near(frame.atWorld(-50, -50), WHITE)) << file;
        EXPECT_TRUE(near(frame.atWorld(50, -50), BLUE)) << file;
    }
}

TEST_F(SpriteTest, PositionAndScalePlaceTheQuad)
{
    Sprite sprite;
    sprite.setColor(Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    sprite.setPosition(100.0f, -50.0f, 0.0f);
    sprite.setScale(60.0f, 40.0f, 1.0f);
    sprite.draw();
    const Frame frame = readFrame();
    // The quad spans x 70..130 and y -70..-30.
    EXPECT_EQ(frame.atWorld(100, -50), RED);
    EXPECT_EQ(frame.atWorld(72, -68), RED);
    EXPECT_EQ(frame.atWorld(127, -33), RED);
    EXPECT_EQ(frame.atWorld(67, -50), BLACK);
    EXPECT_EQ(frame.atWorld(133, -50), BLACK);
    EXPECT_EQ(frame.atWorld(100, -27), BLACK);
    EXPECT_EQ(frame.atWorld(100, -73), BLACK);
}

TEST_F(SpriteTest, OffsetTurnsWithTheAngle)
{
    // Scale (200, 100), angle 90, offset (100, 0): the quad is 200 long along
    // the turned x axis (now vertical) and its centre lies 100 above position.
    Sprite sprite;
    sprite.setColor(Vector4(0.0f, 1.0f, 0.0f, 1.0f));
    sprite.setPosition(50.0f, -20.0f, 0.0f);
    sprite.setScale(200.0f, 100.0f, 1.0f);
    sprite.setAngle(90.0f);
    sprite.setOffsetX(100.0f);
    sprite.draw();
    const Frame frame = readFrame();
    // Expected extent: x 0..100, y -20..180.
    EXPECT_EQ(frame.atWorld(50, 80), GREEN);
    EXPECT_EQ(frame.atWorld(3, -17), GREEN);
    EXPECT_EQ(frame.atWorld(97, 177), GREEN);
    EXPECT_EQ(frame.atWorld(-3, 80), BLACK);
    EXPECT_EQ(frame.atWorld(103, 80), BLACK);
    EXPECT_EQ(frame.atWorld(50, -23), BLACK);
    EXPECT_EQ(frame.atWorld(50, 183), BLACK);
}

TEST_F(SpriteTest, TintMultipliesThePictureAndAlphaBlends)
{
    Sprite sprite = textured("white.png", 100.0f);
    sprite.setColor(Vector4(0.0f, 1.0f, 0.0f, 0.5f));
    sprite.draw();
    const Frame frame = readFrame();
    EXPECT_TRUE(near(frame.atWorld(0, 0), 0x008000, 3)) << std::hex << frame.atWorld(0, 0);
}

TEST_F(SpriteTest, HiddenSpriteDrawsNothingAndTouchesNoState)
{
    Sprite red = textured("red.png", 100.0f);
    red.draw();
    Sprite blue = textured("blue.png", 300.0f);
    blue.hide();

    // Change the GL state behind the drawing records' back: a hidden sprite
    // must neither draw nor put any of it right.
    clearFrame();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    blue.draw();
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(readFrame().atWorld(0, 0), BLACK);
    glBindTexture(GL_TEXTURE_2D, red.getTextureId());
    glEnable(GL_BLEND);

    blue.show();
    blue.draw();
    EXPECT_TRUE(near(readFrame().atWorld(0, 0), BLUE));
}

TEST_F(SpriteTest, SameTextureIsBoundOnce)
{
    Sprite first = textured("red.png", 50.0f);
    Sprite second = textured("red.png", 50.0f);
    second.setPosition(100.0f, 0.0f, 0.0f);
    first.draw();
    ASSERT_EQ(boundTexture(), static_cast<GLint>(first.getTextureId()));

    // Unbind behind the records' back: a second sprite with the same texture
    // must not bind again, so the unbinding shows.
    glBindTexture(GL_TEXTURE_2D, 0);
    second.draw();
    EXPECT_EQ(boundTexture(), 0);
    glBindTexture(GL_TEXTURE_2D, first.getTextureId());
}

TEST_F(SpriteTest, UntexturedSpriteSwitchesTexturingOffAndBackOn)
{
    Sprite red = textured("red.png", 50.0f);
    Sprite plain;
    plain.setColor(Vector4(0.0f, 0.0f, 1.0f, 1.0f));
    plain.setPosition(100.0f, 0.0f, 0.0f);
    Sprite blue = textured("blue.png", 50.0f);
    blue.setPosition(-100.0f, 0.0f, 0.0f);

    red.draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    plain.draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    blue.draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), static_cast<GLint>(blue.getTextureId()));

    const Frame frame = readFrame();
    EXPECT_TRUE(near(frame.atWorld(0, 0), RED));
    EXPECT_EQ(frame.atWorld(100, 0), BLUE);
    EXPECT_TRUE(near(frame.atWorld(-100, 0), BLUE));
}

TEST_F(SpriteTest, BlendStateIsSetOnlyWhenItChanges)
{
    Sprite blended;
    Sprite alsoBlended;
    blended.draw();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);

    glDisable(GL_BLEND);
    alsoBlended.draw();
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending was enabled again although the record says it is on";
    glEnable(GL_BLEND);
}

TEST_F(SpriteTest, LoadingAnotherTextureDoesNotChangeWhatASpriteShows)
{
    Sprite red = textured("red.png", 100.0f);
    red.draw();
    // The first load of a new picture binds it; red must still show red.
    Sprite fresh;
    fresh.setTexture(keepName(dir + "/blue.png")); // a new key: loads and binds
    clearFrame();
    red.draw();
    EXPECT_TRUE(near(readFrame().atWorld(0, 0), RED)) << std::hex << readFrame().atWorld(0, 0);
}

TEST_F(SpriteTest, CorruptPictureDrawsThePlainColour)
{
    std::ostringstream log;
    std::streambuf* saved = std::cout.rdbuf(log.rdbuf());
    Sprite sprite;
    const int id = sprite.setTexture(name("corrupt.png"));
    Sprite again;
    again.setTexture(name("corrupt.png"));
    std::cout.rdbuf(saved);

    EXPECT_EQ(static_cast<std::uint32_t>(id), TextureMap::NO_TEXTURE);
    EXPECT_EQ(log.str(), std::string("Couldn't load texture ") + name("corrupt.png") + "\n");

    Sprite red = textured("red.png", 20.0f);
    red.setPosition(150.0f, 0.0f, 0.0f);
    red.draw(); // texturing on, so the broken sprite must switch it off
    sprite.setScale(100.0f);
    sprite.setColor(Vector4(0.0f, 0.0f, 1.0f, 1.0f));
    sprite.draw();
    EXPECT_EQ(readFrame().atWorld(0, 0), BLUE);
}

TEST_F(SpriteTest, CopySharesTextureAndDisplayList)
{
    Sprite original = textured("quadrants.png", 200.0f);
    Sprite copy;
    copy = original;
    EXPECT_EQ(copy.getTextureId(), original.getTextureId());
    copy.draw();
    const Frame frame = readFrame();
    EXPECT_TRUE(near(frame.atWorld(-50, 50), RED));
    EXPECT_TRUE(near(frame.atWorld(50, -50), BLUE));
}

// Large pictures are drawn only inside the window boxes where they can show,
// and opaque ones without blending; neither may change a pixel. Each case is
// drawn tinted over a four-coloured backdrop, once as it is drawn and once
// with its coverage forgotten, which draws the whole square blended.
TEST_F(SpriteTest, DrawingOnlyWhereAPictureShowsChangesNoPixel)
{
    struct Case
    {
        const char* file;
        float size;
        float x;
        float y;
        float alpha;
    };
    static const char* const top = "./img/yingtop.png";
    static const char* const left = "./img/yingleft.png";
    static const char* const right = "./img/yingright.png";
    static const char* const aura = "./img/aura.png";
    static const char* const background = "./img/bg.jpg";
    const char* const quarter = name("quarter.png");
    const Case cases[] = {
        {top, 600.0f, 0.0f, 0.0f, 1.0f},          // the board's layers where the game draws them
        {left, 600.0f, 0.0f, 0.0f, 1.0f},
        {right, 437.3f, 13.7f, -21.2f, 1.0f},     // off the pixel grid
        {aura, 300.0f, 50.5f, 20.25f, 1.0f},      // a smaller picture, fewer texels per cell
        {quarter, 555.5f, -3.3f, 7.1f, 1.0f},     // a hard edge that the filter reaches across
        {background, 1024.0f, 0.0f, 0.0f, 1.0f},  // opaque: no blend
        {background, 500.0f, 10.0f, 10.0f, 0.5f}, // opaque picture, translucent tint: blended
    };
    Sprite backdrop = textured("quadrants.png", 800.0f);
    const CoutCapture quiet;
    for (const Case& c : cases)
    {
        Sprite sprite;
        sprite.setTexture(c.file);
        sprite.setScale(c.size);
        sprite.setPosition(c.x, c.y, 0.0f);
        sprite.setColor(Vector4(0.8f, 0.6f, 0.9f, c.alpha));
        const auto drawn = [&] {
            clearFrame();
            backdrop.draw();
            sprite.draw();
            return readFrame();
        };
        const Frame boxed = drawn();
        TextureMap* record = getTexture(c.file);
        ASSERT_TRUE(record->coverage.isKnown()) << c.file;
        const TextureCoverage measured = record->coverage;
        record->coverage = TextureCoverage();
        const Frame whole = drawn();
        record->coverage = measured;

        ASSERT_EQ(boxed.rgb.size(), whole.rgb.size());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < boxed.rgb.size(); ++i)
            differing += boxed.rgb[i] != whole.rgb[i];
        EXPECT_EQ(differing, 0u) << c.file << " at size " << c.size;
    }

    // The top layer, mostly transparent, is drawn in disjoint boxes that
    // cover well under its square.
    const std::vector<TextureCoverage::Box>* planned =
        getTexture(top)->coverage.windowBoxes(600.0f, 400.375f, 600.0f, 300.375f);
    ASSERT_NE(planned, nullptr);
    const std::vector<TextureCoverage::Box>& boxes = *planned;
    long long area = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i)
    {
        area += static_cast<long long>(boxes[i].width) * boxes[i].height;
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
        {
            const TextureCoverage::Box& a = boxes[i];
            const TextureCoverage::Box& b = boxes[j];
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                               b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << "boxes " << i << " and " << j << " overlap";
        }
    }
    EXPECT_LT(area, 600 * 600 * 3 / 4);
}
} // namespace
