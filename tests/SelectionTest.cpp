#include "PictureTestSupport.h"
#include "PlayDriver.h"
#include "Puck.h"
#include "Screens.h"
#include "Selection.h"

#include "glframework/GlutCallbacks.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
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

    void TearDown() override
    {
        if (currentState == &liveMode)
            changeState(&endState);
    }

    void spread()
    {
        for (int i = 0; i < LiveMode::PUCK_COUNT; ++i)
            puck(i)->setPosition(Vector3(-270.0f + 60.0f * i, 0.0f, 0.0f));
    }

    static Puck* puck(int i) { return liveMode.getPucks()[i]; }
    static const Selection& selection() { return *liveMode.getSelection(); }

    // Points at and clicks the source, then points at the target and clicks
    // it, as a player does, within one frame.
    void transfer(Puck* source, Puck* target)
    {
        driver.pointAt(source->getPosition());
        ASSERT_EQ(selection().getSourcePuck(), source);
        driver.click(source->getPosition());
        ASSERT_EQ(selection().getMode(), Aiming);
        driver.pointAt(target->getPosition());
        ASSERT_EQ(selection().getTargetPuck(), target);
        driver.click(target->getPosition());
    }

    bool logged(const std::string& line) const { return driver.log.text().find(line + "\n") != std::string::npos; }

    PlayDriver driver;
};
} // namespace

TEST_F(SelectionTest, TransfersMoveLightByTheSourcesRule)
{
    const struct
    {
        float source, target, sourceAfter, targetAfter;
        bool transfers;
    } cases[] = {
        {80, 40, 20, 100, true},   // a bright source gives
        {20, 50, 70, 0, true},     // a dark source takes
        {30, 100, 100, 30, true},  // 30 still takes
        {95, 90, 95, 90, false},   // 10 units is not worth it
        {31, 100, 31, 100, false}, // nothing to give
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.source << " -> " << c.target);
        spread();
        puck(2)->setBrightness(c.source);
        puck(6)->setBrightness(c.target);
        const std::size_t logBefore = driver.log.text().size();
        transfer(puck(2), puck(6));
        const std::string said = driver.log.text().substr(logBefore);
        EXPECT_NE(said.find("Playing accept\n"), std::string::npos);
        EXPECT_EQ(said.find("Playing transfer\n") != std::string::npos, c.transfers);
        EXPECT_EQ(selection().getMode(), c.transfers ? Transferring : Picking);

        // The whole amount moves in 1.2 s per 100 units, then the tool resets.
        driver.run((c.sourceAfter > c.source ? c.sourceAfter - c.source : c.source - c.sourceAfter) / 100.0f * 1.2f +
                   0.05f);
        EXPECT_FLOAT_EQ(puck(2)->getBrightness(), c.sourceAfter);
        EXPECT_FLOAT_EQ(puck(6)->getBrightness(), c.targetAfter);
        EXPECT_EQ(selection().getMode(), Picking);
        EXPECT_EQ(selection().getSourcePuck(), nullptr);
    }
}

TEST_F(SelectionTest, TheBeamGrowsBySparklesUpToForty)
{
    puck(0)->setBrightness(100.0f);
    puck(9)->setBrightness(0.0f);
    transfer(puck(0), puck(9));
    for (int i = 0; i < 5; ++i)
        driver.frame(0.02f);
    EXPECT_EQ(selection().getSparklesLaunched(), 3); // 0.1 s / 0.028 s
    // The arrow follows both pucks from source to target.
    const Vector3 along = puck(9)->getPosition() - puck(0)->getPosition();
    EXPECT_NEAR(selection().getArrow().getScaleX(), length(along), 1e-3f);

    int most = 0;
    while (selection().getMode() == Transferring)
    {
        driver.frame(0.02f);
        most = std::max(most, selection().getSparklesLaunched());
    }
    EXPECT_EQ(most, Selection::BEAM_SPARKLES);
}

TEST_F(SelectionTest, DrawingTwiceWithoutAnUpdateShowsTheSameFrame)
{
    puck(0)->setBrightness(100.0f);
    puck(9)->setBrightness(0.0f);
    transfer(puck(0), puck(9));
    driver.run(0.5f);
    ASSERT_GT(selection().getSparklesLaunched(), 10);
    const auto drawn = [] {
        clearFrame();
        liveMode.draw();
        return readFrame();
    };
    const Frame first = drawn();
    EXPECT_EQ(first.meanDifference(drawn()), 0.0);
}

TEST_F(SelectionTest, PointingClickingAndCancelling)
{
    // Two pucks under the pointer: the earlier in the list wins.
    puck(5)->setPosition(Vector3(0, 150, 0));
    puck(3)->setPosition(Vector3(10, 150, 0));
    driver.pointAt(Vector3(5, 150, 0));
    EXPECT_EQ(selection().getSourcePuck(), puck(3));
    // Dragging never picks a source; pointing at empty board drops it.
    driver.dragTo(puck(7)->getPosition());
    EXPECT_EQ(selection().getSourcePuck(), puck(3));
    driver.pointAt(Vector3(0, -250, 0));
    EXPECT_EQ(selection().getSourcePuck(), nullptr);
    driver.click(Vector3(0, -250, 0));
    EXPECT_EQ(selection().getMode(), Picking);

    // Aiming: a drag aims too; the middle button does nothing; a right
    // release alone cancels.
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

    // Aiming at the source itself chooses no target: a click sends the
    // source towards the pointer.
    driver.pointAt(source);
    driver.click(source);
    const Vector3 aside = source + Vector3(0, 12, 0);
    driver.pointAt(aside);
    EXPECT_EQ(selection().getTargetPuck(), nullptr);
    EXPECT_NEAR(selection().getArrow().getAngle(), 90.0f, 0.01f);
    EXPECT_NEAR(selection().getArrow().getScaleX(), 12.0f, 1e-3f);
    const std::size_t logBefore = driver.log.text().size();
    driver.click(aside);
    EXPECT_EQ(driver.log.text().substr(logBefore), "Playing accept\n");
    EXPECT_NEAR(puck(0)->getDirection().y, 1.0f, 1e-5f);
    EXPECT_EQ(selection().getMode(), Picking);
    // A click on the exact centre keeps the heading.
    driver.pointAt(puck(0)->getPosition());
    driver.click(puck(0)->getPosition());
    driver.click(puck(0)->getPosition());
    EXPECT_NEAR(puck(0)->getDirection().y, 1.0f, 1e-5f);

    // A left press during a transfer abandons it where it stands.
    spread();
    puck(1)->setBrightness(80.0f);
    puck(8)->setBrightness(40.0f);
    transfer(puck(1), puck(8));
    driver.run(0.3f);
    driver.click(Vector3(0, -250, 0));
    EXPECT_EQ(selection().getMode(), Picking);
    const float stoppedAt = puck(1)->getBrightness();
    EXPECT_GT(stoppedAt, 20.0f);
    EXPECT_LT(stoppedAt, 80.0f);
    EXPECT_FLOAT_EQ(puck(8)->getBrightness(), 120.0f - stoppedAt);
    driver.run(1.0f);
    EXPECT_EQ(puck(1)->getBrightness(), stoppedAt);
}
