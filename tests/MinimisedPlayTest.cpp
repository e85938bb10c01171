#include "support/PlayDriver.h"
#include "Puck.h"
#include "Screens.h"
#include "Selection.h"

#include "glframework/Camera.h"
#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"
#include "glframework/Vector3.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A window minimised during play, as a window manager that shrinks it to
// nothing would report it: a 0 x 0 reshape through GLUT's reshape callback.
// (Under Xvfb no window manager is there to iconify the real game, and an
// unmapped window gets no reshape; the camera's own refusal is covered by
// CameraTest.) Play goes on, and after the restore a click lands on the puck
// under the pointer.
TEST(MinimisedPlayTest, AZeroSizeReshapeInPlayIsRefusedAndPlayGoesOn)
{
    PlayDriver driver;
    driver.startGame();
    driver.runOpening();
    ASSERT_EQ(liveMode.getPucks().size(), static_cast<std::size_t>(LiveMode::PUCK_COUNT));
    const Puck* puck = liveMode.getPucks()[3];
    const Vector3 before = puck->getPosition();

    const std::size_t logged = driver.log.lines().size();
    onReshape(0, 0);
    const std::vector<std::string> lines = driver.log.lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(logged), lines.end()),
              std::vector<std::string>{"reshape() values bad w:0 h:0"});
    driver.run(1.0f);
    EXPECT_EQ(currentState, &liveMode);
    EXPECT_GT(length(puck->getPosition() - before), 1.0f) << "the pucks stood still";

    onReshape(800, 600);
    ASSERT_EQ(activeCamera->width, 800);
    driver.pointAt(puck->getPosition());
    const Puck* offered = liveMode.getSelection()->getSourcePuck();
    ASSERT_NE(offered, nullptr);
    driver.click(puck->getPosition());
    EXPECT_EQ(liveMode.getSelection()->getMode(), Aiming);
    EXPECT_EQ(liveMode.getSelection()->getSourcePuck(), offered);
    changeState(&endState);
}
