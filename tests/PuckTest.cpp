#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"
#include "Puck.h"

#include "glframework/vectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

namespace
{
const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

class PuckTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpPixelWorld();
        quiet = std::make_unique<CoutCapture>();
    }
    static void TearDownTestSuite() { quiet.reset(); }

    // A puck grown to full size, then placed and headed as asked.
    static std::unique_ptr<Puck> grownPuck(const Vector3& at, const Vector3& heading)
    {
        auto puck = std::make_unique<Puck>(50.0f);
        puck->update(0.6f);
        puck->setPosition(at);
        puck->setDirection(heading);
        return puck;
    }

    // Keeps the texture loading lines out of the test output for the whole suite.
    static std::unique_ptr<CoutCapture> quiet;
};
std::unique_ptr<CoutCapture> PuckTest::quiet;

void expectNear(const Vector3& actual, const Vector3& expected)
{
    EXPECT_LT(length(actual - expected), 1e-3f) << actual.x << ", " << actual.y << ", " << actual.z;
}
} // namespace

TEST_F(PuckTest, BrightnessIsClampedAndShownInTheGreyTheAuraAndThePulse)
{
    const struct
    {
        float given, stored;
        bool yellowAura;
        float pulse;
    } cases[] = {{-5, 0, false, 90}, {150, 100, true, 90},     {50, 50, true, 50},
                 {75, 75, true, 70}, {49.9f, 49.9f, false, 50.08f}, {NOT_A_NUMBER, 0, false, 90}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.given);
        Puck puck(50.0f);
        EXPECT_EQ(puck.getScaleX(), 0.0f); // grows in from nothing
        puck.setBrightness(c.given);
        EXPECT_EQ(puck.getBrightness(), c.stored);
        EXPECT_FLOAT_EQ(puck.getColor().y, c.stored / 100.0f);
        EXPECT_EQ(puck.getAura().getColor().y > 0.5f, c.yellowAura);
        EXPECT_EQ(puck.getAura().getColor().z > 0.5f, !c.yellowAura);
        // The aura swells from 40 to the pulse size every 1.25 s.
        float widest = 0.0f;
        for (int step = 0; step < 1300; ++step)
        {
            puck.update(0.001f);
            widest = std::max(widest, puck.getAura().getScaleX());
        }
        EXPECT_NEAR(widest, c.pulse, 0.1f);
        EXPECT_EQ(puck.getScaleX(), Puck::SIZE);
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
        // The top edge at 305 is past the window's 300.
        {"top, outwards", {0, 280, 0}, {0, 1, 0}, {0, 280, 0}, {0, -1, 0}},
        {"top, inwards", {0, 280, 0}, {0, -1, 0}, {0, 280, 0}, {0, -1, 0}},
        {"bottom, outwards", {10, -280, 0}, {0, -1, 0}, {10, -280, 0}, {0, 1, 0}},
        // 310 from the origin: back onto the rim, mirrored in its tangent.
        {"rim", {310 * d, 310 * d, 0}, {1, 0, 0}, {300 * d, 300 * d, 0}, {0, -1, 0}},
        // A zero or invalid heading keeps the old one.
        {"zero heading", {100, 0, 0}, {0, 0, 0}, {100, 0, 0}, {1, 0, 0}},
        {"invalid heading", {100, 0, 0}, {NOT_A_NUMBER, 1, 0}, {100, 0, 0}, {1, 0, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto puck = grownPuck(c.at, Vector3(1, 0, 0));
        puck->setDirection(c.heading);
        puck->update(0.0f);
        expectNear(puck->getPosition(), c.endsAt);
        expectNear(puck->getDirection(), c.endsHeading);
    }
    // Mid grey moves 30 units a second, black 40.
    auto grey = grownPuck(ORIGIN, Vector3(3, 4, 0));
    grey->update(0.5f);
    expectNear(grey->getPosition(), Vector3(9, 12, 0));
    grey->setBrightness(0.0f);
    grey->setPosition(ORIGIN);
    grey->update(0.5f);
    expectNear(grey->getPosition(), Vector3(12, 16, 0));
}

TEST_F(PuckTest, CollisionsReverseTheLineOfCentresAndPushApart)
{
    const float d = std::sqrt(0.5f);
    auto a = grownPuck(Vector3(20, 0, 0), Vector3(-1, 1, 0));
    auto b = grownPuck(Vector3(-20, 0, 0), Vector3(1, 1, 0));
    collide(a.get(), a.get());
    expectNear(a->getDirection(), Vector3(-d, d, 0));

    collide(a.get(), b.get());
    expectNear(a->getDirection(), Vector3(d, d, 0));
    expectNear(b->getDirection(), Vector3(-d, d, 0));
    expectNear(a->getPosition(), Vector3(25, 0, 0));
    expectNear(b->getPosition(), Vector3(-25, 0, 0));

    // A puck still growing passes through the others.
    Puck newcomer(50.0f);
    newcomer.setPosition(Vector3(24, 0, 0));
    const Vector3 heading = newcomer.getDirection();
    collide(&newcomer, a.get());
    expectNear(newcomer.getDirection(), heading);

    // Two pucks on one point part, with proper headings.
    b->setPosition(a->getPosition());
    collide(a.get(), b.get());
    EXPECT_GT(length(a->getPosition() - b->getPosition()), 40.0f);
    EXPECT_NEAR(length(a->getDirection()) + length(b->getDirection()), 2.0f, 1e-5f);
}
