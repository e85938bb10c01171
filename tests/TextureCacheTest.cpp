#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"
#include "support/TempFolder.h"

#include "glframework/TextureManager.h"
#include "glframework/TextureMap.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

class TextureCacheTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpPixelWorld();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(convert("-size 8x8 xc:orange " + dir + "/orange.png"));
    }

    // Made before the first test and removed when the program ends.
    inline static const TempFolder scratch{"lumen-cache"};
    inline static const std::string& dir = scratch.path;
};

TEST_F(TextureCacheTest, SameConstantLoadsOnceAndCountsRequests)
{
    const char* name = keepName(dir + "/orange.png");
    CoutCapture capture;
    TextureMap* first = getTexture(name);
    TextureMap* second = getTexture(name);
    const std::string log = capture.text();

    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->refCount, 2);
    EXPECT_NE(first->id, TextureMap::NO_TEXTURE);
    EXPECT_EQ(first->fileName, name);
    EXPECT_TRUE(glIsTexture(first->id));
    EXPECT_EQ(log, std::string("Loaded texture ") + name + "\n");
}

TEST_F(TextureCacheTest, LoadLeavesTheNewTextureBound)
{
    const char* name = keepName(dir + "/orange.png");
    glBindTexture(GL_TEXTURE_2D, 0);
    CoutCapture capture;
    TextureMap* texture = getTexture(name);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<std::uint32_t>(bound), texture->id);
}

TEST_F(TextureCacheTest, MissingFileIsReportedOnceAndCached)
{
    const char* name = keepName(dir + "/absent.png");
    CoutCapture capture;
    TextureMap* first = getTexture(name);
    const std::string afterFirst = capture.text();
    TextureMap* second = getTexture(name);
    const std::string log = capture.text();

    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->id, TextureMap::NO_TEXTURE);
    EXPECT_EQ(first->fileName, nullptr);
    EXPECT_EQ(first->refCount, 2);
    EXPECT_EQ(afterFirst, std::string("Couldn't load texture ") + name + "\n");
    EXPECT_EQ(log, afterFirst) << "the second request must print nothing";
}

TEST_F(TextureCacheTest, BadFilesAreReportedOnceEach)
{
    // Garbage behind a picture's name, an empty file and a truncated picture.
    {
        std::ofstream(dir + "/garbage.png") << "this is not a picture at all";
        std::ofstream(dir + "/empty.jpg");
        ASSERT_TRUE(convert("-size 64x64 plasma:fractal -seed 3 " + dir + "/whole.jpg"));
        std::ifstream whole(dir + "/whole.jpg", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
        std::ofstream(dir + "/truncated.png", std::ios::binary) << "\x89PNG\r\n\x1a\n" << bytes.substr(0, 40);
    }
    for (const char* file : {"/garbage.png", "/empty.jpg", "/truncated.png"})
    {
        const char* name = keepName(dir + file);
        CoutCapture capture;
        TextureMap* texture = getTexture(name);
        getTexture(name);
        EXPECT_EQ(texture->id, TextureMap::NO_TEXTURE) << file;
        EXPECT_EQ(capture.text(), std::string("Couldn't load texture ") + name + "\n");
    }
}

TEST_F(TextureCacheTest, EqualTextAtTwoAddressesMakesTwoRecords)
{
    const char* one = keepName(dir + "/orange.png");
    const char* other = keepName(dir + "/orange.png");
    ASSERT_NE(one, other);
    CoutCapture capture;
    TextureMap* first = getTexture(one);
    TextureMap* second = getTexture(other);

    EXPECT_NE(first, second);
    EXPECT_NE(first->id, second->id);
    EXPECT_NE(first->id, TextureMap::NO_TEXTURE);
    EXPECT_NE(second->id, TextureMap::NO_TEXTURE);
    EXPECT_EQ(first->refCount, 1);
    const std::vector<std::string> lines = capture.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("Loaded texture ") + one), 2);
}
} // namespace
