#pragma once

#include "glframework/Interval.h"
#include "glframework/Sprite.h"
#include "glframework/Vector3.h"

#include <cstdint>
#include <vector>

class Puck;
class SoundManager;

// What the selection's next click does.
enum SelectionMode : std::int32_t
{
    Picking = 0,     // no source yet: pointing at a puck offers it as the source
    Aiming = 1,      // source chosen: the arrow follows the pointer to a target
    Transferring = 2 // light is flowing from the source to the target
};

// The player's tool in play. Point at a puck and click to choose it as the
// source; point at another and click to move light between them (a source
// brighter than 30 gives, a darker one takes), or click empty board to send
// the source towards that point. The right button cancels at any time.
// Positions are board units, as screenToWorld gives them. While the puck
// list is empty every operation but draw and reset does nothing.
// Needs the window's GL context (it loads textures). Not copyable.
class Selection
{
public:
    // Beam sparkles streaming along the arrow during a transfer.
    static constexpr int BEAM_SPARKLES = 40;

    // pucks: the play screen's list, read as it changes; sounds: plays
    // "accept" and "transfer". Neither is owned; both must outlive the
    // selection.
    Selection(std::vector<Puck*>* pucks, SoundManager* sounds);
    // Deletes the selection's animations, the last transfer's included. Does
    // not touch the pucks.
    ~Selection();

    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // Spins the markers and runs a transfer and its beam by dt seconds.
    void update(float dt);
    // Draws the source ring, and while aiming or transferring the target ring
    // and the arrow, and during a transfer the beam. Draw it after the pucks.
    void draw();

    // button and state are GLUT's values; pos is the pointer on the board.
    void mouseButton(int button, int state, const Vector3& pos);
    // The pointer moved with a button held: only aims, never picks a source.
    void mouseDrag(const Vector3& pos);
    // The pointer moved with no button held.
    void mouseMove(const Vector3& pos);

    // Back to Picking with nothing chosen and both rings green. A running
    // transfer is left where it stands.
    void reset();
    // Lays the arrow along the segment from one board point to another.
    void placeArrow(const Vector3& from, const Vector3& to);

    SelectionMode getMode() const;
    // The puck pointed at or chosen first, or null; not owned.
    Puck* getSourcePuck() const;
    // The second puck pointed at, or null; not owned.
    Puck* getTargetPuck() const;
    // Beam sparkles running in the current transfer, 0 to BEAM_SPARKLES.
    int getSparklesLaunched() const;
    // The arrow as it was last placed.
    const Sprite& getArrow() const;

private:
    // The first puck within hit range of pos, skipping skip; null if none.
    Puck* puckUnder(const Vector3& pos, const Puck* skip) const;
    void startTransfer();

    SoundManager* sounds;
    std::vector<Puck*>* pucks;
    Sprite sourceMarker;
    Sprite targetMarker;
    Sprite arrow;
    Interval* markerSpin;       // turns both rings, endless
    Interval* transferSequence; // the last transfer started; may be null
    Puck* sourcePuck;
    Puck* targetPuck;
    // The beam motions drive these sprites' offsets along and across the
    // arrow; drawing scales copies of them, so a frame drawn twice looks the same.
    Sprite beamSparkles[BEAM_SPARKLES];
    Interval* beamMotions[BEAM_SPARKLES];
    float transferTime; // seconds since the current transfer began
    std::int32_t sparklesLaunched;
    SelectionMode mode;
};
