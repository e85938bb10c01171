#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"

#include "Screens.h"

#include "glframework/TextureManager.h"
#include "glframework/TextureMap.h"
#include "glframework/vectors.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// An image decoded by ImageMagick into 8-bit RGBA, top row first.
struct Rgba
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;

    std::uint8_t alpha(int x, int y) const { return data[(static_cast<std::size_t>(y) * width + x) * 4 + 3]; }
};

Rgba readImage(const std::string& file)
{
    Rgba image;
    FILE* size = popen(("identify -format '%w %h' " + file + " 2>/dev/null").c_str(), "r");
    if (size == nullptr)
        return image;
    if (std::fscanf(size, "%d %d", &image.width, &image.height) != 2)
        image.width = image.height = 0;
    pclose(size);
    if (image.width <= 0 || image.height <= 0)
        return image;
    image.data.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    FILE* pixels = popen(("convert " + file + " -depth 8 rgba:-").c_str(), "r");
    if (pixels == nullptr)
        return image;
    const std::size_t got = std::fread(image.data.data(), 1, image.data.size(), pixels);
    pclose(pixels);
    if (got != image.data.size())
        image.data.clear();
    return image;
}

float distance(float x, float y, float cx, float cy)
{
    return std::hypot(x - cx, y - cy);
}

// The halves must follow the board's region test, which decides which half
// of the board a puck feeds; a 2-unit band along every edge is left out.
TEST(ArtTest, BoardHalvesMatchTheRegionTest)
{
    const Rgba left = readImage("img/yingleft.png");
    const Rgba right = readImage("img/yingright.png");
    ASSERT_FALSE(left.data.empty());
    ASSERT_FALSE(right.data.empty());
    ASSERT_EQ(left.width, left.height);
    ASSERT_EQ(right.width, left.width);
    ASSERT_EQ(right.height, left.height);

    const float pixelsPerUnit = left.width / 600.0f; // the halves are drawn 600 units wide
    int checked = 0;
    for (int y = -299; y <= 299; y += 3)
    {
        for (int x = -299; x <= 299; x += 3)
        {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float r = distance(fx, fy, 0.0f, 0.0f);
            if (std::fabs(r - 300.0f) < 2.0f || std::fabs(distance(fx, fy, 0.0f, 150.0f) - 150.0f) < 2.0f ||
                std::fabs(distance(fx, fy, 0.0f, -150.0f) - 150.0f) < 2.0f || std::fabs(fx) < 2.0f)
                continue;
            const int column = static_cast<int>((fx + 300.0f) * pixelsPerUnit);
            const int row = static_cast<int>((300.0f - fy) * pixelsPerUnit);
            const int leftAlpha = left.alpha(column, row);
            const int rightAlpha = right.alpha(column, row);
            if (r > 300.0f)
            {
                EXPECT_LT(leftAlpha, 16) << x << "," << y;
                EXPECT_LT(rightAlpha, 16) << x << "," << y;
                continue;
            }
            const bool onLeft = liveMode.isOnLeftSide(Vector3(fx, fy, 0.0f));
            EXPECT_EQ(leftAlpha > 240, onLeft) << x << "," << y << " alpha " << leftAlpha;
            EXPECT_EQ(rightAlpha > 240, !onLeft) << x << "," << y << " alpha " << rightAlpha;
            EXPECT_TRUE(leftAlpha > 240 || leftAlpha < 16) << x << "," << y;
            EXPECT_TRUE(rightAlpha > 240 || rightAlpha < 16) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 20000);
}

// The game's colours multiply these pictures, so their visible pixels must be
// white or light grey.
TEST(ArtTest, TintedPiecesAreLight)
{
    for (const char* file : {"img/puck.png", "img/aura.png", "img/whiteSparkle.png", "img/sparkle.png",
                             "img/selection.png", "img/arrow.png"})
    {
        const Rgba image = readImage(file);
        ASSERT_FALSE(image.data.empty()) << file;
        int visible = 0;
        int dark = 0;
        for (std::size_t at = 0; at < image.data.size(); at += 4)
        {
            if (image.data[at + 3] < 32)
                continue;
            ++visible;
            if (image.data[at] < 150 || image.data[at + 1] < 150 || image.data[at + 2] < 150)
                ++dark;
        }
        EXPECT_GT(visible, 0) << file;
        EXPECT_EQ(dark, 0) << file;
    }
}

// The selection stretches the arrow from one puck to another along +x.
TEST(ArtTest, ArrowSpansTheWidthAndPointsRight)
{
    const Rgba arrow = readImage("img/arrow.png");
    ASSERT_FALSE(arrow.data.empty());
    const int middle = arrow.height / 2;
    EXPECT_GT(arrow.alpha(0, middle), 128);
    EXPECT_GT(arrow.alpha(arrow.width - 1, middle), 128);
    // The head is near the right end: tall there, thin at the left.
    int tallRight = 0;
    int tallLeft = 0;
    for (int y = 0; y < arrow.height; ++y)
    {
        tallRight += arrow.alpha(arrow.width * 85 / 100, y) > 128 ? 1 : 0;
        tallLeft += arrow.alpha(arrow.width / 10, y) > 128 ? 1 : 0;
    }
    EXPECT_GT(tallRight, arrow.height / 2);
    EXPECT_LT(tallLeft, arrow.height / 3);
}

// The art script squeezes its pictures after drawing them; the desktop game
// must still decode every one to exactly the pixels ImageMagick reads from the
// file, and keep the PNGs' transparency measured (which DevIL cannot do for a
// palette picture), or the sprites would be drawn whole.
TEST(ArtTest, DesktopUploadsEveryPictureAsDrawn)
{
    setUpPixelWorld();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("img"))
        files.push_back(entry.path().generic_string());
    std::sort(files.begin(), files.end());
    int pngs = 0;
    int jpegs = 0;
    for (const std::string& file : files)
    {
        const bool png = file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0;
        const bool jpeg = file.size() > 4 && file.compare(file.size() - 4, 4, ".jpg") == 0;
        if (!png && !jpeg)
            continue;
        pngs += png ? 1 : 0;
        jpegs += jpeg ? 1 : 0;
        const Rgba drawn = readImage(file);
        ASSERT_FALSE(drawn.data.empty()) << file;
        bool opaque = true;
        for (std::size_t at = 3; at < drawn.data.size(); at += 4)
            opaque = opaque && drawn.data[at] == 255;

        TextureMap* texture = nullptr;
        {
            const CoutCapture quiet;
            texture = getTexture(keepName("./" + file));
        }
        ASSERT_NE(texture->id, TextureMap::NO_TEXTURE) << file;
        glBindTexture(GL_TEXTURE_2D, texture->id);
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(width, drawn.width) << file;
        ASSERT_EQ(height, drawn.height) << file;
        // Texture row 0 is the picture's top row, as in ImageMagick's output.
        std::vector<std::uint8_t> texels(drawn.data.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        GLint greyBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_LUMINANCE_SIZE, &greyBits);
        if (greyBits > 0)
        {
            // A grey texture reads back as red alone, but drawing samples
            // its grey into all three colours.
            std::vector<std::uint8_t> grey(texels.size() / 2);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, grey.data());
            for (std::size_t i = 0; i < grey.size() / 2; ++i)
            {
                texels[i * 4] = texels[i * 4 + 1] = texels[i * 4 + 2] = grey[i * 2];
                texels[i * 4 + 3] = grey[i * 2 + 1];
            }
        }
        else
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < texels.size(); ++i)
            differing += texels[i] != drawn.data[i];
        EXPECT_EQ(differing, 0u) << file;

        EXPECT_TRUE(texture->coverage.isKnown()) << file;
        EXPECT_EQ(texture->coverage.isOpaque(), opaque) << file;
        EXPECT_EQ(opaque, jpeg) << file << ": the pictures with transparency are the PNGs";
    }
    EXPECT_GT(pngs, 0);
    EXPECT_GT(jpegs, 0);
}
} // namespace
