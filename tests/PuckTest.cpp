#include "PictureTestSupport.h"
#include "Puck.h"
#include "RandomDraw.h"

#include "glframework/vectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

namespace
{
class PuckTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpPixelWorld();
        saved = std::cout.rdbuf(quiet.rdbuf());
    }
    static void TearDownTestSuite() { std::cout.rdbuf(saved); }

    // A puck grown to full size, then placed and headed as asked.
    static std::unique_ptr<Puck> grownPuck(float brightness, const Vector3& at, const Vector3& heading)
    {
        auto puck = std::make_unique<Puck>(brightness);
        puck->update(0.6f);
        puck->setPosition(at);
        puck->setDirection(heading);
        return puck;
    }

    static std::ostringstream quiet;
    static std::streambuf* saved;
};
std::ostringstream PuckTest::quiet;
std::streambuf* PuckTest::saved = nullptr;

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace

TEST(RandomDrawTest, DrawsSpanFifteenBitsAndRepeatFromTheUnseededStart)
{
    std::srand(1); // the sequence an unseeded run starts with
    int first[2000];
    int lowest = RANDOM_DRAW_MAX, highest = 0;
    double sum = 0.0;
    for (int& draw : first)
    {
        draw = randomDraw();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, RANDOM_DRAW_MAX);
        lowest = std::min(lowest, draw);
        highest = std::max(highest, draw);
        sum += draw;
    }
    EXPECT_LT(lowest, 200);
    EXPECT_GT(highest, RANDOM_DRAW_MAX - 200);
    EXPECT_NEAR(sum / 2000.0, RANDOM_DRAW_MAX / 2.0, 1000.0);

    std::srand(1);
    for (int draw : first)
        ASSERT_EQ(randomDraw(), draw);
    std::srand(1);
    EXPECT_DOUBLE_EQ(randomFraction(), first[0] / 32767.0);
}

TEST_F(PuckTest, NewPucksStartOnTheBoardSmallAndRepeatFromTheSameDraws)
{
    std::srand(1);
    Puck a(100.0f);
    std::srand(1);
    Puck b(1.0f);
    expectNear(a.getPosition(), b.getPosition(), 0.0f);
    expectNear(a.getDirection(), b.getDirection(), 0.0f);
    for (int i = 0; i < 50; ++i)
    {
        Puck puck(50.0f);
        const Vector3 at = puck.getPosition();
        EXPECT_LE(std::fabs(at.x), 150.0f);
        EXPECT_LE(std::fabs(at.y), 150.0f);
        EXPECT_NEAR(length(puck.getDirection()), 1.0f, 1e-5f);
        EXPECT_EQ(puck.getScaleX(), 0.0f);
    }
    // Grown to full size in half a second, and no further.
    a.update(0.25f);
    EXPECT_NEAR(a.getScaleX(), 25.0f, 1e-3f);
    a.update(0.3f);
    EXPECT_EQ(a.getScaleX(), Puck::SIZE);
}

TEST_F(PuckTest, BrightnessIsClampedAndShownInTheGreyTheAuraAndThePulse)
{
    const struct
    {
        float given, stored;
        bool yellowAura;
        float pulse;
    } cases[] = {
        {-5.0f, 0.0f, false, 90.0f},   {150.0f, 100.0f, true, 90.0f},
        {50.0f, 50.0f, true, 50.0f},   {49.9f, 49.9f, false, 50.08f},
        {75.0f, 75.0f, true, 70.0f},   {std::numeric_limits<float>::quiet_NaN(), 0.0f, false, 90.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.given);
        Puck puck(50.0f);
        puck.setBrightness(c.given);
        EXPECT_EQ(puck.getBrightness(), c.stored);
        const Vector4 grey = puck.getColor();
        EXPECT_FLOAT_EQ(grey.x, c.stored / 100.0f);
        EXPECT_FLOAT_EQ(grey.z, c.stored / 100.0f);
        EXPECT_EQ(grey.w, 1.0f);
        const Vector4 aura = puck.getAura().getColor();
        EXPECT_EQ(aura.y > 0.5f, c.yellowAura);
        EXPECT_EQ(aura.z > 0.5f, !c.yellowAura);

        // The pulse swells from 40 to the pulse size every 1.25 s.
        float widest = 0.0f;
        for (int step = 0; step < 1300; ++step)
        {
            puck.update(0.001f);
            widest = std::max(widest, puck.getAura().getScaleX());
        }
        EXPECT_NEAR(widest, c.pulse, 0.1f);
    }
}

TEST_F(PuckTest, SpeedFollowsBrightness)
{
    for (float brightness : {50.0f, 0.0f, 100.0f, 25.0f})
    {
        auto puck = grownPuck(brightness, ORIGIN, Vector3(3.0f, 4.0f, 0.0f));
        puck->update(0.5f);
        const float expected = std::fabs(brightness - 50.0f) * 0.2f + 30.0f;
        expectNear(puck->getPosition(), Vector3(0.6f, 0.8f, 0.0f) * (expected * 0.5f));
    }
}

TEST_F(PuckTest, WindowEdgesAndTheRimTurnPucksBack)
{
    const float d = std::sqrt(0.5f);
    const struct
    {
        const char* name;
        Vector3 at, heading, endsAt, endsHeading;
    } cases[] = {
        // Top edge at 305 is past the window's 300: turned back; moving away: left alone.
        {"top, outwards", {0, 280, 0}, {0, 1, 0}, {0, 280, 0}, {0, -1, 0}},
        {"top, inwards", {0, 280, 0}, {0, -1, 0}, {0, 280, 0}, {0, -1, 0}},
        {"bottom, outwards", {10, -280, 0}, {0, -1, 0}, {10, -280, 0}, {0, 1, 0}},
        // Centre 310 from the origin: back onto the rim, heading mirrored in its tangent.
        {"rim", {310 * d, 310 * d, 0}, {1, 0, 0}, {300 * d, 300 * d, 0}, {0, -1, 0}},
        {"inside", {100, 0, 0}, {1, 0, 0}, {100, 0, 0}, {1, 0, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto puck = grownPuck(50.0f, c.at, c.heading);
        puck->update(0.0f);
        expectNear(puck->getPosition(), c.endsAt);
        expectNear(puck->getDirection(), c.endsHeading);
    }
}

TEST_F(PuckTest, CollisionsReverseTheLineOfCentresAndPushApart)
{
    auto a = grownPuck(50.0f, Vector3(20, 0, 0), Vector3(-1, 1, 0));
    auto b = grownPuck(50.0f, Vector3(-20, 0, 0), Vector3(1, 1, 0));
    collide(a.get(), a.get());
    expectNear(a->getPosition(), Vector3(20, 0, 0));

    collide(a.get(), b.get());
    const float d = std::sqrt(0.5f);
    expectNear(a->getDirection(), Vector3(d, d, 0));
    expectNear(b->getDirection(), Vector3(-d, d, 0));
    expectNear(a->getPosition(), Vector3(25, 0, 0));
    expectNear(b->getPosition(), Vector3(-25, 0, 0));

    // Apart by more than a size: untouched.
    b->setPosition(Vector3(-40, 0, 0));
    collide(a.get(), b.get());
    expectNear(a->getDirection(), Vector3(d, d, 0));

    // A puck still growing passes through until it is big enough.
    Puck newcomer(50.0f);
    newcomer.setPosition(Vector3(24, 0, 0));
    const Vector3 heading = newcomer.getDirection();
    collide(&newcomer, a.get());
    expectNear(newcomer.getDirection(), heading);

    // Two pucks on one point part and keep proper headings.
    b->setPosition(a->getPosition());
    collide(a.get(), b.get());
    EXPECT_GT(length(a->getPosition() - b->getPosition()), 40.0f);
    EXPECT_NEAR(length(a->getDirection()), 1.0f, 1e-5f);
    EXPECT_NEAR(length(b->getDirection()), 1.0f, 1e-5f);
}

TEST_F(PuckTest, AZeroOrInvalidDirectionKeepsTheHeading)
{
    auto puck = grownPuck(50.0f, ORIGIN, Vector3(0, -2, 0));
    expectNear(puck->getDirection(), Vector3(0, -1, 0));
    puck->setDirection(ORIGIN);
    puck->setDirection(Vector3(std::numeric_limits<float>::quiet_NaN(), 1, 0));
    expectNear(puck->getDirection(), Vector3(0, -1, 0));
    puck->update(0.1f);
    expectNear(puck->getPosition(), Vector3(0, -3, 0));
}
