#include "support/RecordingState.h"

#include "glframework/State.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class ChangeStateTest : public ::testing::Test
{
protected:
    void SetUp() override { currentState = nullptr; }
    void TearDown() override { currentState = nullptr; }

    std::vector<std::string> journal;
    RecordingState first{"first", journal};
    RecordingState second{"second", journal};
};
} // namespace

TEST_F(ChangeStateTest, FirstSwitchOnlyEntersWithNoPreviousScreen)
{
    EXPECT_TRUE(changeState(&first));
    EXPECT_EQ(journal, (std::vector<std::string>{"first.enter(null)"}));
    EXPECT_EQ(currentState, &first);
    EXPECT_EQ(first.currentDuringEnter, nullptr);
}

TEST_F(ChangeStateTest, SwitchAsksLeavesThenEntersInThatOrder)
{
    changeState(&first);
    journal.clear();

    EXPECT_TRUE(changeState(&second));
    EXPECT_EQ(journal, (std::vector<std::string>{"first.canLeave(second)", "first.leave(second)",
                                                 "second.enter(first)"}));
    EXPECT_EQ(currentState, &second);
}

TEST_F(ChangeStateTest, OldScreenIsStillCurrentWhileTheNewOneEnters)
{
    changeState(&first);
    changeState(&second);
    EXPECT_EQ(second.currentDuringEnter, &first);
}

TEST_F(ChangeStateTest, RefusedSwitchChangesNothing)
{
    changeState(&first);
    journal.clear();
    first.allowLeave = false;

    EXPECT_FALSE(changeState(&second));
    EXPECT_EQ(journal, (std::vector<std::string>{"first.canLeave(second)"}));
    EXPECT_EQ(currentState, &first);
}

TEST_F(ChangeStateTest, SwitchingToTheCurrentScreenLeavesAndEntersItAgain)
{
    changeState(&first);
    journal.clear();

    EXPECT_TRUE(changeState(&first));
    EXPECT_EQ(journal, (std::vector<std::string>{"first.canLeave(first)", "first.leave(first)",
                                                 "first.enter(first)"}));
    EXPECT_EQ(currentState, &first);
}
