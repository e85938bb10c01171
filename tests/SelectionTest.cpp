#include "support/PictureTestSupport.h"
#include "support/PlayDriver.h"
#include "Puck.h"
#include "Screens.h"
#include "Selection.h"

#include "glframework/GlutCallbacks.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
const Vector3 EMPTY_BOARD(0, -250, 0);

// A game in play, its pucks spread along a line across the board.
class SelectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver.startGame();
        driver.runOpening();
        spread();
    }

    void TearDown() override { changeState(&endState); }

    static void spread()
    {
        for (int i = 0; i < LiveMode::PUCK_COUNT; ++i)
            puck(i)->setPosition(Vector3(-270.0f + 60.0f * i, 0.0f, 0.0f));
    }

    static Puck* puck(int i) { return liveMode.getPucks()[i]; }
    static const Selection& selection() { return *liveMode.getSelection(); }

    // As a player does, within one frame: point at the source and click,
    // point at the target and click. Returns what the game printed.
    std::string transfer(Puck* source, Puck* target)
    {
        const std::size_t before = driver.log.text().size();
        driver.pointAt(source->getPosition());
        EXPECT_EQ(selection().getSourcePuck(), source);
        driver.click(source->getPosition());
        EXPECT_EQ(selection().getMode(), Aiming);
        driver.pointAt(target->getPosition());
        EXPECT_EQ(selection().getTargetPuck(), target);
        driver.click(target->getPosition());
        return driver.log.text().substr(before);
    }

    PlayDriver driver;
};
} // namespace

TEST_F(SelectionTest, TransfersMoveLightByTheSourcesRuleWithTheBeamAlongTheArrow)
{
    const struct
    {
        float source, target, sourceAfter, targetAfter;
    } cases[] = {
        {80, 40, 20, 100},  // a bright source gives
        {20, 50, 70, 0},    // a dark one takes
        {30, 100, 100, 30}, // 30 still takes
        {95, 90, 95, 90},   // 10 units are not worth it
        {31, 100, 31, 100}, // nothing to give
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.source << " -> " << c.target);
        spread();
        puck(2)->setBrightness(c.source);
        puck(6)->setBrightness(c.target);
        const bool moves = c.sourceAfter != c.source;
        const std::string said = transfer(puck(2), puck(6));
        EXPECT_EQ(said, moves ? "Playing accept\nPlaying transfer\n" : "Playing accept\n");
        EXPECT_EQ(selection().getMode(), moves ? Transferring : Picking);

        // One beam sparkle joins every 0.028 s; 1.2 s per 100 units, then the tool is free again.
        float took = 0.0f;
        while (selection().getMode() == Transferring && took < 2.0f)
        {
            driver.frame(0.02f);
            took += 0.02f;
            if (took > 0.09f && took < 0.11f)
            {
                EXPECT_EQ(selection().getSparklesLaunched(), 3);
            }
        }
        EXPECT_NEAR(took, std::abs(c.sourceAfter - c.source) / 100.0f * 1.2f, 0.021f);
        EXPECT_FLOAT_EQ(puck(2)->getBrightness(), c.sourceAfter);
        EXPECT_FLOAT_EQ(puck(6)->getBrightness(), c.targetAfter);
        EXPECT_EQ(selection().getMode(), Picking);
    }
}

TEST_F(SelectionTest, DrawingTwiceWithoutAnUpdateShowsTheSameFrame)
{
    puck(0)->setBrightness(100.0f);
    puck(9)->setBrightness(0.0f);
    transfer(puck(0), puck(9));
    driver.run(1.15f);
    // A full beam is 40 sparkles, the last of them launched by now.
    ASSERT_EQ(selection().getSparklesLaunched(), 40);
    const auto drawn = [] {
        clearFrame();
        liveMode.draw();
        return readFrame();
    };
    const Frame first = drawn();
    EXPECT_EQ(first.meanDifference(drawn()), 0.0);
}

TEST_F(SelectionTest, PointingAimingSendingAndCancelling)
{
    // Two pucks under the pointer: the earlier in the list; dragging never picks.
    puck(5)->setPosition(Vector3(0, 150, 0));
    puck(3)->setPosition(Vector3(10, 150, 0));
    driver.pointAt(Vector3(5, 150, 0));
    EXPECT_EQ(selection().getSourcePuck(), puck(3));
    driver.dragTo(puck(7)->getPosition());
    EXPECT_EQ(selection().getSourcePuck(), puck(3));

    // Aiming: a drag aims too, the middle button does nothing, a right release alone cancels.
    const Vector3 source = puck(0)->getPosition();
    driver.pointAt(source);
    driver.click(source);
    driver.dragTo(puck(4)->getPosition());
    EXPECT_EQ(selection().getTargetPuck(), puck(4));
    driver.click(puck(4)->getPosition(), GLUT_MIDDLE_BUTTON);
    EXPECT_EQ(selection().getMode(), Aiming);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, PlayDriver::pixelX(source), PlayDriver::pixelY(source));
    EXPECT_EQ(selection().getMode(), Picking);
    EXPECT_EQ(selection().getSourcePuck(), nullptr);

    // Aiming at the source itself: no target, and a click sends the source
    // towards the pointer; a click on its exact centre keeps its heading.
    for (const Vector3& pointer : {source + Vector3(0, 12, 0), source})
    {
        driver.pointAt(source);
        driver.click(source);
        driver.pointAt(pointer);
        EXPECT_EQ(selection().getTargetPuck(), nullptr);
        driver.click(pointer);
        EXPECT_NEAR(puck(0)->getDirection().y, 1.0f, 1e-5f);
        EXPECT_EQ(selection().getMode(), Picking);
    }

    // A left press during a transfer leaves both pucks where it stood.
    spread();
    puck(1)->setBrightness(80.0f);
    puck(8)->setBrightness(40.0f);
    transfer(puck(1), puck(8));
    driver.run(0.3f);
    driver.click(EMPTY_BOARD);
    const float stoppedAt = puck(1)->getBrightness();
    driver.run(1.0f);
    EXPECT_EQ(selection().getMode(), Picking);
    EXPECT_TRUE(stoppedAt > 20.0f && stoppedAt < 80.0f) << stoppedAt;
    EXPECT_EQ(puck(1)->getBrightness(), stoppedAt);
    EXPECT_FLOAT_EQ(puck(8)->getBrightness(), 120.0f - stoppedAt);
}
