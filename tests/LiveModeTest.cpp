#include "support/AllocationCounter.h"
#include "support/PlayDriver.h"
#include "Puck.h"
#include "RandomDraw.h"
#include "Screens.h"
#include "Selection.h"

#include "glframework/FrameClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
int visibleCount(const std::vector<Sprite*>& sparkles)
{
    return static_cast<int>(std::count_if(sparkles.begin(), sparkles.end(),
                                          [](const Sprite* s) { return !s->isHidden(); }));
}

// Puts the pucks where a test wants them; they go on drifting from there.
void place(const std::vector<Vector3>& at)
{
    const std::vector<Puck*>& pucks = liveMode.getPucks();
    for (std::size_t i = 0; i < pucks.size() && i < at.size(); ++i)
        pucks[i]->setPosition(at[i]);
}

class LiveModeTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (currentState == &liveMode)
            changeState(&endState);
    }

    PlayDriver driver;
};
} // namespace

TEST_F(LiveModeTest, AGameOpensWithTheFadeSparklesAndTenPucksAndLeavesNothing)
{
    driver.startGame();
    EXPECT_NE(driver.log.text().find("Playing bg\nPlaying gong\n"), std::string::npos);
    EXPECT_EQ(liveMode.getLeftLevel(), 100.0f);
    EXPECT_EQ(liveMode.getRightLevel(), 0.0f);

    const auto& left = liveMode.getLeftSparkles();
    const auto& right = liveMode.getRightSparkles();
    EXPECT_EQ(left.size() + right.size(), static_cast<std::size_t>(LiveMode::SPARKLE_COUNT));
    for (const auto* side : {&left, &right})
        for (const Sprite* sparkle : *side)
        {
            EXPECT_LE(length(sparkle->getPosition()), 300.0f);
            EXPECT_EQ(liveMode.isOnLeftSide(sparkle->getPosition()), side == &left);
        }

    // Halfway through the fade, and at its end.
    for (int i = 0; i < 25; ++i)
        driver.frame(0.03f);
    EXPECT_NEAR(liveMode.getLeftLevel(), 75.0f, 0.01f);
    EXPECT_NEAR(liveMode.getRightLevel(), 25.0f, 0.01f);
    EXPECT_TRUE(liveMode.isOpening());
    EXPECT_TRUE(liveMode.getPucks().empty());
    EXPECT_EQ(visibleCount(left) + visibleCount(right), 0);
    for (int i = 0; i < 26; ++i)
        driver.frame(0.03f);
    EXPECT_FALSE(liveMode.isOpening());
    ASSERT_EQ(liveMode.getPucks().size(), static_cast<std::size_t>(LiveMode::PUCK_COUNT));
    for (int i = 0; i < LiveMode::PUCK_COUNT; ++i)
        EXPECT_EQ(liveMode.getPucks()[i]->getBrightness(), 100.0f - 11.0f * i);
    EXPECT_NEAR(liveMode.getLeftLevel(), 50.0f, 0.1f);

    const std::size_t before = driver.log.text().size();
    changeState(&endState);
    EXPECT_EQ(driver.log.text().find("Stopping all sounds\nPlaying gong\n", before), before);
    EXPECT_TRUE(liveMode.getPucks().empty());
}

TEST_F(LiveModeTest, LeavingDuringTheOpeningCreatesNoPuck)
{
    // A game's sparkles take 600 draws and every puck five more; the draw
    // after a game left at 1 s must be the 601st.
    seedRandomDraw(7);
    for (int i = 0; i < 600; ++i)
        randomDraw();
    const int expected = randomDraw();

    seedRandomDraw(7);
    driver.startGame();
    driver.run(1.0f);
    changeState(&endState);
    EXPECT_EQ(randomDraw(), expected);
}

TEST_F(LiveModeTest, EachPuckPullsItsRegionAndTheSparklesShowTheRate)
{
    driver.startGame();
    driver.runOpening();
    // Bright pucks deep in the left region, dark ones in the right.
    place({{-200, -100, 0}, {-200, -40, 0}, {-200, 20, 0}, {-200, 80, 0}, {-140, 0, 0},
           {200, 100, 0}, {200, 40, 0}, {200, -20, 0}, {200, -80, 0}, {140, 0, 0}});
    liveMode.setLeftLevel(50.0f);
    liveMode.setRightLevel(50.0f);
    driver.frame(0.02f);
    EXPECT_NEAR(liveMode.getLeftLevel(), 50.0f + 1.75f * 0.02f, 1e-4f);
    EXPECT_NEAR(liveMode.getRightLevel(), 50.0f - 1.6875f * 0.02f, 1e-4f);

    const auto& left = liveMode.getLeftSparkles();
    const auto& right = liveMode.getRightSparkles();
    EXPECT_EQ(visibleCount(left), static_cast<int>(std::ceil(left.size() * 1.75 / 2.5 - 1e-4)));
    EXPECT_EQ(visibleCount(right), static_cast<int>(std::ceil(right.size() * 1.6875 / 2.5 - 1e-4)));
    // The first ones show: warm white where the level rises, purple where it falls.
    EXPECT_FALSE(left.front()->isHidden());
    EXPECT_TRUE(left.back()->isHidden());
    EXPECT_GT(left.front()->getColor().y, 0.9f);
    EXPECT_LT(right.front()->getColor().y, 0.1f);

    // A frame without time moves nothing and shows no rate.
    const float leftLevel = liveMode.getLeftLevel();
    driver.frame(0.0f);
    EXPECT_EQ(liveMode.getLeftLevel(), leftLevel);
    EXPECT_EQ(visibleCount(left) + visibleCount(right), 0);
}

TEST_F(LiveModeTest, GamesAreDecidedByStrictThresholdsOnceTheOpeningHasRun)
{
    const struct
    {
        float left, right;
        bool decided, won;
    } cases[] = {
        {96, 5, false, false}, {95, 4, false, false}, {96, 4.99f, true, true},
        {4.99f, 96, true, false}, {5, 96, false, false}, {100, 0, true, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.left << " / " << c.right);
        driver.startGame();
        // Early in the fade the levels would count as a win: nothing is decided yet.
        driver.frame(0.02f);
        EXPECT_EQ(currentState, &liveMode);
        driver.runOpening();
        for (Puck* puck : liveMode.getPucks())
            puck->setBrightness(50.0f); // no pull: the levels stay as set
        endState.won = !c.won;
        liveMode.setLeftLevel(c.left);
        liveMode.setRightLevel(c.right);
        driver.frame(0.02f);
        EXPECT_EQ(currentState == &endState, c.decided);
        if (c.decided)
            EXPECT_EQ(endState.won, c.won);
        else
            changeState(&endState);
    }
}

TEST_F(LiveModeTest, ReleasingLowercaseQWinsAtOnceEvenDuringTheOpening)
{
    driver.startGame();
    endState.won = false;
    liveMode.keyDown('q', 0, 0);
    liveMode.keyUp('Q', 0, 0);
    liveMode.keyUp('w', 0, 0);
    EXPECT_EQ(currentState, &liveMode);
    liveMode.keyUp('q', 0, 0);
    EXPECT_EQ(currentState, &endState);
    EXPECT_TRUE(endState.won);
    EXPECT_TRUE(liveMode.getPucks().empty());
}

TEST_F(LiveModeTest, ASteadyFrameAllocatesNothing)
{
    driver.startGame();
    driver.runOpening();
    // A long transfer with its beam running: the brightest puck gives to the darkest.
    place({{-150, 0, 0}, {-200, 220, 0}, {-150, 220, 0}, {-100, 220, 0}, {-50, 220, 0}, {0, 220, 0},
           {50, 220, 0}, {100, 220, 0}, {150, 220, 0}, {150, 0, 0}});
    const std::vector<Puck*>& pucks = liveMode.getPucks();
    for (Puck* puck : {pucks[0], pucks[9]})
    {
        driver.pointAt(puck->getPosition());
        driver.click(puck->getPosition());
    }
    ASSERT_EQ(liveMode.getSelection()->getMode(), Transferring);
    driver.frame(0.02f);

    const std::size_t before = allocationCount();
    for (int i = 0; i < 40; ++i)
    {
        driver.advanceClock(0.02f);
        frameClock().tick();
        liveMode.update();
    }
    EXPECT_EQ(allocationCount(), before);
    EXPECT_EQ(liveMode.getSelection()->getMode(), Transferring);
    EXPECT_GT(liveMode.getSelection()->getSparklesLaunched(), 0);
}
