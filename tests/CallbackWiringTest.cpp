#include "support/CoutCapture.h"
#include "support/GlTestWindow.h"
#include "support/RealTime.h"
#include "support/RecordingState.h"

#include "glframework/Camera.h"
#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break gtest's own names.
#include <GL/glx.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{
// Real X events, made by xdotool on the test window and delivered by GLUT's
// own event loop, so that each callback is checked where GLUT registers it.
class CallbackWiringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureGlTestWindow();
        registerGlutCallbacks();
        setActiveCamera(&camera);
        changeState(&screen);
        window = std::to_string(glXGetCurrentDrawable());
        ASSERT_EQ(xdotool("windowfocus --sync " + window), 0);
    }
    void TearDown() override
    {
        currentState = nullptr;
        activeCamera = nullptr;
    }

    static int xdotool(const std::string& arguments)
    {
        return std::system(("timeout 10 xdotool " + arguments).c_str());
    }

    // Lets GLUT deliver events until done holds, for at most five seconds.
    static bool pumpUntil(const std::function<bool()>& done)
    {
        return waitUntil(
            [&] {
                glutMainLoopEvent();
                return done();
            },
            5.0, 0.005);
    }

    // Makes one event with xdotool and returns what the screen saw of it: the
    // journal once it holds count entries other than draws (exposures may
    // redraw the window at any time).
    std::vector<std::string> seen(const std::string& arguments, std::size_t count)
    {
        journal.clear();
        EXPECT_EQ(xdotool(arguments), 0) << arguments;
        std::vector<std::string> events;
        pumpUntil([&] {
            events.clear();
            std::copy_if(journal.begin(), journal.end(), std::back_inserter(events),
                         [](const std::string& entry) { return entry != "screen.draw"; });
            return events.size() >= count;
        });
        return events;
    }

    bool journalHas(const std::string& entry) const
    {
        return std::find(journal.begin(), journal.end(), entry) != journal.end();
    }

    CoutCapture quiet; // the key callbacks and the camera log every event
    Camera camera;
    std::vector<std::string> journal;
    RecordingState screen{"screen", journal};
    std::string window;
};
} // namespace

TEST_F(CallbackWiringTest, EachGlutEventReachesItsOwnOperation)
{
    using Events = std::vector<std::string>;
    const std::string in = "--window " + window + " ";
    EXPECT_EQ(seen("mousemove " + in + "100 50", 1), Events{"screen.mouseMove(100,50)"});
    EXPECT_EQ(seen("mousedown 1", 1), Events{"screen.mouseButton(0,0,100,50)"});
    EXPECT_EQ(seen("mousemove " + in + "120 60", 1), Events{"screen.mouseDrag(120,60)"});
    EXPECT_EQ(seen("mouseup 1", 1), Events{"screen.mouseButton(0,1,120,60)"});
    EXPECT_EQ(seen("key a", 2), (Events{"screen.keyDown(97,120,60)", "screen.keyUp(97,120,60)"}));
    EXPECT_EQ(seen("key F1", 2), (Events{"screen.specialKeyDown(1,120,60)", "screen.specialKeyUp(1,120,60)"}));

    // A new window size reaches the camera.
    glutReshapeWindow(640, 200);
    EXPECT_TRUE(pumpUntil([&] { return camera.width == 640; }));

    journal.clear();
    glutPostRedisplay();
    EXPECT_TRUE(pumpUntil([&] { return journalHas("screen.draw"); }));

    // Only glutMainLoop runs the idle callback, and once it returns GLUT has
    // closed down, so this comes last.
    journal.clear();
    glutTimerFunc(300, [](int) { glutLeaveMainLoop(); }, 0);
    glutMainLoop();
    EXPECT_TRUE(journalHas("screen.update"));
}
