#pragma once

#include "glframework/Backdrop.h"
#include "glframework/BackgroundTask.h"
#include "glframework/SoundManager.h"
#include "glframework/Sprite.h"
#include "glframework/State.h"
#include "glframework/Vector3.h"

#include <vector>

class Interval;
class Parallel;
class Puck;
class Selection;

// The screen in which the game is played. The board (Board.h) is a yin-yang
// disc split into a left and a right region, each with a brightness level
// from 0 (black) to 100 (white) shown as the grey of its half. Every frame
// each puck pulls the level of its region towards its own brightness; the
// game is won when the left level rises above 95 while the right falls below
// 5, and lost the other way round.
//
// Everything of one game (the opening, the selection, the sparkles, the
// pucks) is built by enter and deleted by leave; the screen owns it.
class LiveMode : public State
{
public:
    // Sparkles scattered over the board in every game.
    static constexpr int SPARKLE_COUNT = 200;
    // Pucks brought in when the opening has run.
    static constexpr int PUCK_COUNT = 10;

    // Starts the sound and loads the game's four sounds from ./sounds/:
    // "bg" (repeating music), "transfer", "accept" and "gong" (once each),
    // beside the main thread where there are threads, so that decoding the
    // music and opening the sound device go on while the window opens. Runs
    // before main: needs no window.
    explicit LiveMode(const char* name);
    // Waits until the sound has started and the four sounds are loaded, with
    // their log lines printed. The screen's own operations wait by
    // themselves; the entry calls it before the first screen prints anything,
    // so that the start-up log keeps its order.
    void waitForSound();
    // Deletes a game still in play, then stops all sounds and closes the
    // sound device (through soundManager).
    ~LiveMode() override;

    // A new game: the board, the opening (both halves fade to grey over
    // 1.5 s, then the pucks come in), the selection and the twinkling
    // sparkles; "bg" and "gong" play. Needs the window's GL context.
    bool enter(State* previous) override;
    // Stops the sounds, deletes everything of the game and plays "gong".
    bool leave(State* next) override;
    // One frame of play, by getFrameDelta seconds: the animations, the pucks
    // and their collisions, the selection, the rule on the levels, the
    // sparkles, and the decision, which switches to the end screen.
    void update() override;
    // The board back to front, then the pucks' auras, the pucks and the
    // selection on top.
    void draw() override;
    // Mouse events in window pixels, handed to the selection on the board.
    void mouseButton(int button, int state, int x, int y) override;
    void mouseDrag(int x, int y) override;
    void mouseMove(int x, int y) override;
    // Releasing q ends the game at once as won.
    void keyUp(unsigned char key, int x, int y) override;

    // Store the level clamped to 0..100; a value that is not a number is
    // stored as it is. The opening's blends drive them.
    void setLeftLevel(float value);
    void setRightLevel(float value);
    float getLeftLevel() const;
    float getRightLevel() const;

    // The board's region test: true when point lies in the left region. The
    // upper small circle (radius 150 around (0, 150)) belongs wholly to the
    // left, the lower one (around (0, -150)) wholly to the right; elsewhere
    // x <= 0 is left. Points outside the board are sorted the same way.
    bool isOnLeftSide(const Vector3& point) const;

    // Brings in the ten pucks, brightness 100, 89, ..., 1; the opening calls it.
    void spawnPucks();

    // What the player sees of a game in play; valid between enter and leave.
    // True until the opening has run (no decision is made before).
    bool isOpening() const;
    const std::vector<Puck*>& getPucks() const;
    const Selection* getSelection() const;
    const std::vector<Sprite*>& getLeftSparkles() const;
    const std::vector<Sprite*>& getRightSparkles() const;

private:
    // Starts the sound manager and loads the sounds.
    void startSound();
    // Deletes the objects of the game in play, if any, and forgets them.
    void deleteGame();
    // Colours the sparkles of one region after its rate (level units per
    // second) and shows as many of them as the rate is strong.
    static void showSparkles(const std::vector<Sprite*>& sparkles, float rate);

    SoundManager soundManager;
    BackgroundTask soundStart; // starting the sound; waited for by waitForSound
    Backdrop background;
    Sprite yingLeft;  // its grey shows leftLevel
    Sprite yingRight; // its grey shows rightLevel
    Sprite yingTop;   // the disc's top layer, drawn over the sparkles
    float rightLevel;
    float leftLevel;
    Selection* selection;
    Interval* intro; // the fade of both halves to grey, then spawnPucks
    std::vector<Sprite*> leftSparkles;
    std::vector<Sprite*> rightSparkles;
    Parallel* twinkle; // one endless alpha pulse per sparkle
    std::vector<Puck*> pucks;
};
