#include "support/CoutCapture.h"
#include "support/RecordingState.h"

#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <iostream>

namespace
{
class GlutCallbacksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setModifierSource([this] { return modifiers; });
        currentState = nullptr;
    }
    void TearDown() override
    {
        setModifierSource(nullptr);
        currentState = nullptr;
    }

    int modifiers = 0;
    CoutCapture output; // the callbacks' log, captured for the whole test
    std::vector<std::string> journal;
    RecordingState screen{"screen", journal};
};
} // namespace

TEST_F(GlutCallbacksTest, KeyEventsAreLoggedAsCharacterThenCodeThenModifiers)
{
    onKeyDown('a', 10, 20);
    modifiers = GLUT_ACTIVE_SHIFT;
    onKeyUp('A', 10, 20);
    EXPECT_EQ(output.text(), "Key Down: a(97)\nModifiers: 0\nKey Up: A(65)\nModifiers: 1\n");
}

TEST_F(GlutCallbacksTest, HighCharacterCodesAreLoggedUnsigned)
{
    onKeyDown(static_cast<unsigned char>(233), 0, 0);
    EXPECT_EQ(output.text(), "Key Down: \xE9(233)\nModifiers: 0\n");
}

TEST_F(GlutCallbacksTest, SpecialKeysAreLoggedAsNumbersTwice)
{
    modifiers = GLUT_ACTIVE_CTRL;
    onSpecialDown(GLUT_KEY_F1, 3, 4);
    onSpecialUp(GLUT_KEY_LEFT, 3, 4);
    EXPECT_EQ(output.text(), "Special Down: 1(1)\nModifiers: 2\nSpecial Up: 100(100)\nModifiers: 2\n");
}

TEST_F(GlutCallbacksTest, EventsReachTheCurrentScreenWithTheirValues)
{
    currentState = &screen;
    onKeyDown('q', 5, 6);
    onKeyUp('q', 7, 8);
    onSpecialDown(GLUT_KEY_F4, 1, 2); // F4 without Alt is an ordinary key
    onSpecialUp(GLUT_KEY_F4, 1, 2);
    EXPECT_EQ(journal, (std::vector<std::string>{"screen.keyDown(113,5,6)", "screen.keyUp(113,7,8)",
                                                 "screen.specialKeyDown(4,1,2)",
                                                 "screen.specialKeyUp(4,1,2)"}));
}

TEST_F(GlutCallbacksTest, WithoutAScreenEventsAreStillLogged)
{
    onKeyDown('x', 0, 0);
    onSpecialUp(GLUT_KEY_F2, 0, 0);
    EXPECT_EQ(output.text(), "Key Down: x(120)\nModifiers: 0\nSpecial Up: 2(2)\nModifiers: 0\n");
}

TEST_F(GlutCallbacksTest, MouseEventsReachTheScreenUnchangedAndAreDroppedWithoutOne)
{
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 12, 34);
    onMotion(1, 2);
    onPassiveMotion(3, 4);
    EXPECT_TRUE(journal.empty());

    currentState = &screen;
    onMouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 12, 34);
    onMotion(-5, 900);
    onPassiveMotion(3, 4);
    EXPECT_EQ(journal, (std::vector<std::string>{"screen.mouseButton(1,1,12,34)", "screen.mouseDrag(-5,900)",
                                                 "screen.mouseMove(3,4)"}));
}

using GlutCallbacksDeathTest = GlutCallbacksTest;

TEST_F(GlutCallbacksDeathTest, EscapeLogsThenEndsWithStatusZero)
{
    // The dying child writes its log to standard error, where the death test can see it.
    EXPECT_EXIT(
        {
            std::cout.rdbuf(std::cerr.rdbuf());
            currentState = &screen;
            onKeyDown(27, 0, 0);
        },
        ::testing::ExitedWithCode(0), "^Key Down: \x1b\\(27\\)\nModifiers: 0\n$");
}

TEST_F(GlutCallbacksDeathTest, CtrlQEndsButPlainQDoesNot)
{
    EXPECT_EXIT({ onKeyDown(17, 0, 0); }, ::testing::ExitedWithCode(0), "");
    currentState = &screen;
    onKeyDown('q', 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"screen.keyDown(113,0,0)"}));
}

TEST_F(GlutCallbacksDeathTest, AltF4EndsButAltWithAnotherKeyDoesNot)
{
    modifiers = GLUT_ACTIVE_ALT;
    EXPECT_EXIT({ onSpecialDown(GLUT_KEY_F4, 0, 0); }, ::testing::ExitedWithCode(0), "");
    currentState = &screen;
    onSpecialDown(GLUT_KEY_F5, 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"screen.specialKeyDown(5,0,0)"}));
}
