#include "support/GlTestWindow.h"

#include "glframework/FrameClock.h"
#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace
{
// Notes what the main loop lets it see: the frame delta during update, and
// the model-view stack depth and a pixel it drew during draw.
class ProbeState : public State
{
public:
    ProbeState() : State("probe") {}

    void update() override
    {
        ++updates;
        deltaSeenInUpdate = getFrameDelta();
    }
    void draw() override
    {
        ++draws;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthInDraw);
        glTranslatef(5.0f, 0.0f, 0.0f); // must not outlive this draw
    }

    int updates = 0;
    int draws = 0;
    float deltaSeenInUpdate = -1.0f;
    GLint depthInDraw = 0;
};

class MainLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureGlTestWindow();
        frameClock() = FrameClock([] { return std::int64_t(1000); }, [this] { return counter; },
                                  [] { return 0; });
        currentState = nullptr;
    }
    void TearDown() override
    {
        currentState = nullptr;
        frameClock() = FrameClock();
    }

    std::int64_t counter = 0;
    ProbeState probe;
};
} // namespace

TEST_F(MainLoopTest, IdleTicksTheClockBeforeUpdatingTheScreen)
{
    currentState = &probe;
    onIdle();
    EXPECT_EQ(probe.updates, 1);
    EXPECT_EQ(probe.deltaSeenInUpdate, 0.0f);
    counter += 20; // 20 ms at 1000 ticks per second
    onIdle();
    EXPECT_EQ(probe.updates, 2);
    EXPECT_FLOAT_EQ(probe.deltaSeenInUpdate, 0.02f);
}

TEST_F(MainLoopTest, DisplayDrawsBetweenAPushAndAPop)
{
    currentState = &probe;
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    GLfloat before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    onDisplay();

    EXPECT_EQ(probe.draws, 1);
    EXPECT_EQ(probe.depthInDraw, depthBefore + 1);
    GLfloat after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]);
}

TEST_F(MainLoopTest, WithoutAScreenTheClockStillTicksAndTheDisplayStillClears)
{
    onIdle();
    counter += 10;
    onIdle();
    EXPECT_FLOAT_EQ(getFrameDelta(), 0.01f);

    glDrawBuffer(GL_BACK);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT); // red beforehand, so only onDisplay can make it green
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    onDisplay(); // clears, then swaps; Mesa keeps the back buffer's content
    GLubyte pixel[4] = {0, 0, 0, 0};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(probe.draws, 0);
    EXPECT_EQ(probe.updates, 0);
}
