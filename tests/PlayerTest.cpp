#include "support/PlayDriver.h"
#include "Puck.h"
#include "Screens.h"
#include "Selection.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>

namespace
{
// A player who reads only what the screen shows: where each puck is, how
// bright it is, which half of the board it lies in, and whether the
// selection's arrow or beam is out. It gathers light on one side and
// darkness on the other, through the pointer alone, acting every tenth of a
// second as a quick human might.
class ScriptedPlayer
{
public:
    explicit ScriptedPlayer(bool lightOnLeft_) : lightOnLeft(lightOnLeft_) {}

    // Plays one game to its end or until the time runs out; returns the
    // seconds of game time played.
    float play(PlayDriver& driver, float limit)
    {
        float played = 0.0f;
        for (int frame = 0; currentState == &liveMode && played < limit; ++frame)
        {
            if (frame % 5 == 0)
                act(driver);
            driver.frame();
            played += PlayDriver::FRAME;
        }
        return played;
    }

private:
    bool onLightSide(const Puck* puck) const { return liveMode.isOnLeftSide(puck->getPosition()) == lightOnLeft; }

    void act(PlayDriver& driver)
    {
        const Selection* selection = liveMode.getSelection();
        const std::vector<Puck*>& pucks = liveMode.getPucks();
        if (liveMode.isOpening() || selection->getMode() != Picking)
            return;

        // The most light moved towards the light side by one transfer: a
        // bright puck on the dark side gives, or a dark one on the light side takes.
        Puck* source = nullptr;
        Puck* target = nullptr;
        float best = 10.0f;
        for (Puck* s : pucks)
            for (Puck* t : pucks)
            {
                if (s == t || onLightSide(s) == onLightSide(t))
                    continue;
                const float sb = s->getBrightness();
                const float tb = t->getBrightness();
                float amount = 0.0f;
                if (!onLightSide(s) && sb > 30.0f)
                    amount = std::min(sb, 100.0f - tb);
                else if (onLightSide(s) && sb <= 30.0f)
                    amount = std::min(100.0f - sb, tb);
                if (amount > best)
                {
                    best = amount;
                    source = s;
                    target = t;
                }
            }
        if (source != nullptr)
        {
            transfer(driver, source, target);
            return;
        }

        // Nothing to move: send a puck on the wrong side back where it belongs.
        for (Puck* puck : pucks)
        {
            const bool light = puck->getBrightness() > 50.0f;
            if (onLightSide(puck) == light)
                continue;
            const float towardsLight = lightOnLeft ? -220.0f : 220.0f;
            send(driver, puck, Vector3(light ? towardsLight : -towardsLight, 0.0f, 0.0f));
            return;
        }
    }

    // Points at the source, checks that its ring shows, clicks; the same
    // for the target. Backs out with the right button if a ring is wrong
    // (another puck lay over the one meant).
    void transfer(PlayDriver& driver, Puck* source, Puck* target)
    {
        const Selection* selection = liveMode.getSelection();
        driver.pointAt(source->getPosition());
        if (selection->getSourcePuck() != source)
            return;
        driver.click(source->getPosition());
        driver.pointAt(target->getPosition());
        if (selection->getTargetPuck() == target)
            driver.click(target->getPosition());
        else
            driver.click(target->getPosition(), GLUT_RIGHT_BUTTON);
    }

    void send(PlayDriver& driver, Puck* puck, const Vector3& towards)
    {
        const Selection* selection = liveMode.getSelection();
        driver.pointAt(puck->getPosition());
        if (selection->getSourcePuck() != puck)
            return;
        driver.click(puck->getPosition());
        driver.pointAt(towards);
        if (selection->getTargetPuck() == nullptr)
            driver.click(towards);
        else
            driver.click(towards, GLUT_RIGHT_BUTTON);
    }

    bool lightOnLeft;
};

// Game time within which a player who knows what to do decides the game.
constexpr float GAME_LIMIT = 180.0f;
} // namespace

TEST(PlayerTest, ScriptedPlayersWinAndLoseWholeGamesAgainAndAgain)
{
    PlayDriver driver;
    const auto began = std::chrono::steady_clock::now();
    driver.startGame();
    for (bool winner : {true, false, true})
    {
        SCOPED_TRACE(winner ? "winner" : "loser");
        ASSERT_EQ(currentState, &liveMode);
        ASSERT_TRUE(liveMode.isOpening());
        endState.won = !winner;
        const float played = ScriptedPlayer(winner).play(driver, GAME_LIMIT);
        ASSERT_EQ(currentState, &endState) << "undecided after " << played << " s";
        EXPECT_EQ(endState.won, winner);
        EXPECT_GT(played, 10.0f); // the levels cannot get there sooner
        std::cerr << (winner ? "won" : "lost") << " after " << played << " s of play\n";

        // The end screen ignores clicks for its first seconds, then starts the next game.
        driver.click(Vector3(0, 0, 0));
        EXPECT_EQ(currentState, &endState);
        driver.run(4.0f);
        driver.click(Vector3(0, 0, 0));
    }
    EXPECT_EQ(currentState, &liveMode);
    changeState(&endState);
    std::cerr << "three games in "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count()
              << " s of real time\n";
}
