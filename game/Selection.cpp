#include "Selection.h"

#include "Puck.h"

#include "glframework/BlendInterval.h"
#include "glframework/Func.h"
#include "glframework/Parallel.h"
#include "glframework/Sequence.h"
#include "glframework/SineEvaluator.h"
#include "glframework/SoundManager.h"
#include "glframework/vectors.h"

#include <GL/glut.h>

#include <algorithm>
#include <cmath>

namespace
{
// Texture keys live for the whole run, as the texture cache needs.
const char* const MARKER_IMAGE = "./img/selection.png";
const char* const ARROW_IMAGE = "./img/arrow.png";
const char* const SPARKLE_IMAGE = "./img/sparkle.png";

const Vector4 POINTED_GREEN(0.0f, 1.0f, 0.0f, 1.0f);
const Vector4 CHOSEN_GREEN(0.0f, 0.6f, 0.0f, 1.0f);
const Vector4 GIVING_BEAM(1.0f, 1.0f, 1.0f, 1.0f);
const Vector4 TAKING_BEAM(0.2f, 0.0f, 0.2f, 1.0f);

constexpr float ARROW_WIDTH = 50.0f;
constexpr float SPIN_PERIOD = 5.0f;       // seconds per turn of the rings
constexpr float BEAM_RUN = 0.8f;          // seconds for a sparkle to run the arrow
constexpr double LAUNCH_INTERVAL = 0.028; // seconds between two sparkles joining the beam
constexpr float FULL_TRANSFER_TIME = 1.2f; // seconds to move all 100 units
constexpr float SMALLEST_TRANSFER = 10.0f; // amounts up to this are not worth a transfer
constexpr float TAKING_SOURCE = 30.0f;    // a source this dark or darker takes light

using SpriteBlend = BlendInterval<Sprite, float>;
using PuckBlend = BlendInterval<Puck, float>;
} // namespace

Selection::Selection(std::vector<Puck*>* pucks_, SoundManager* sounds_)
    : sounds(sounds_), pucks(pucks_), markerSpin(nullptr), transferSequence(nullptr), sourcePuck(nullptr),
      targetPuck(nullptr), beamMotions{}, transferTime(0.0f), sparklesLaunched(0), mode(Picking)
{
    for (Sprite* marker : {&sourceMarker, &targetMarker})
    {
        marker->setScale(64.0f);
        marker->setTexture(MARKER_IMAGE);
        marker->setColor(POINTED_GREEN);
    }
    arrow.setTexture(ARROW_IMAGE);
    arrow.setScale(ARROW_WIDTH, ARROW_WIDTH, 1.0f);

    markerSpin = new Parallel(new SpriteBlend(&sourceMarker, &Sprite::setAngle, SPIN_PERIOD, 0.0f, 360.0f),
                              new SpriteBlend(&targetMarker, &Sprite::setAngle, SPIN_PERIOD, 0.0f, 360.0f),
                              nullptr);
    markerSpin->loop();

    // Each sparkle runs along the arrow while wobbling across it; the
    // wobble's period cycles through 0.6, 0.8 and 1.0 s, every other
    // sparkle half a cycle behind.
    for (int i = 0; i < BEAM_SPARKLES; ++i)
    {
        beamSparkles[i].setTexture(SPARKLE_IMAGE);
        beamSparkles[i].setScale(20.0f);
        const float period = static_cast<float>(i % 3) * 0.2f + 0.6f;
        const float phase = -static_cast<float>(i % 2) * PI_FLOAT;
        beamMotions[i] =
            new Parallel(new SpriteBlend(&beamSparkles[i], &Sprite::setOffsetX, BEAM_RUN, -1.0f, 1.0f),
                         new SpriteBlend(&beamSparkles[i], &Sprite::setOffsetY, BEAM_RUN, -0.5f, 0.5f,
                                         new SineEvaluator(period, phase)),
                         nullptr);
    }

    reset();
}

Selection::~Selection()
{
    delete markerSpin;
    delete transferSequence;
    for (Interval* motion : beamMotions)
        delete motion;
}

void Selection::reset()
{
    mode = Picking;
    targetPuck = nullptr;
    sourcePuck = nullptr;
    sourceMarker.setColor(POINTED_GREEN);
    targetMarker.setColor(POINTED_GREEN);
}

void Selection::placeArrow(const Vector3& from, const Vector3& to)
{
    const Vector3 d = to - from;
    const float len = length(d);
    const float angle = static_cast<float>(std::atan2(d.y, d.x) * 180.0 / PI);
    arrow.setPosition((from + to) * 0.5f);
    arrow.setScaleX(len);
    arrow.setAngle(angle);
}

Puck* Selection::puckUnder(const Vector3& pos, const Puck* skip) const
{
    const float radius = pucks->front()->getScaleX() / 2.0f;
    for (Puck* puck : *pucks)
    {
        if (puck == skip)
            continue;
        if (radius * radius >= sqrlen(pos - puck->getPosition()))
            return puck;
    }
    return nullptr;
}

void Selection::mouseMove(const Vector3& pos)
{
    if (pucks->empty() || mode == Transferring)
        return;
    if (mode == Aiming)
    {
        placeArrow(sourcePuck->getPosition(), pos);
        targetPuck = puckUnder(pos, sourcePuck);
    }
    else
    {
        sourcePuck = puckUnder(pos, nullptr);
    }
}

void Selection::mouseDrag(const Vector3& pos)
{
    if (pucks->empty() || mode != Aiming)
        return;
    placeArrow(sourcePuck->getPosition(), pos);
    targetPuck = puckUnder(pos, sourcePuck);
}

void Selection::mouseButton(int button, int state, const Vector3& pos)
{
    if (pucks->empty())
        return;
    if (button == GLUT_RIGHT_BUTTON)
    {
        reset();
        return;
    }
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN)
        return;

    switch (mode)
    {
    case Picking:
        if (sourcePuck == nullptr)
            return;
        sourceMarker.setColor(CHOSEN_GREEN);
        placeArrow(sourcePuck->getPosition(), pos);
        mode = Aiming;
        sounds->playSound("accept");
        return;
    case Aiming:
        if (targetPuck != nullptr)
        {
            startTransfer();
            return;
        }
        sourcePuck->setDirection(pos - sourcePuck->getPosition());
        sounds->playSound("accept");
        reset();
        return;
    case Transferring:
        // Abandoned where it stands; the sequence is deleted by the next transfer.
        reset();
        return;
    }
}

void Selection::startTransfer()
{
    targetMarker.setColor(CHOSEN_GREEN);

    // A dark source takes light from the target, a bright one gives it; the
    // amount never pushes either puck out of 0..100.
    const float s = sourcePuck->getBrightness();
    const float t = targetPuck->getBrightness();
    const float amount = s <= TAKING_SOURCE ? -std::min(100.0f - s, t) : std::min(s, 100.0f - t);

    delete transferSequence;
    transferSequence = nullptr;

    if (floatAbs(amount) <= SMALLEST_TRANSFER)
    {
        reset();
        return;
    }

    for (Sprite& sparkle : beamSparkles)
        sparkle.setColor(amount <= 0.0f ? TAKING_BEAM : GIVING_BEAM);

    const float duration = floatAbs(amount) / 100.0f * FULL_TRANSFER_TIME;
    transferSequence =
        new Sequence(new Parallel(new PuckBlend(sourcePuck, &Puck::setBrightness, duration, s, s - amount),
                                  new PuckBlend(targetPuck, &Puck::setBrightness, duration, t, t + amount),
                                  nullptr),
                     new Func<Selection>(this, &Selection::reset), nullptr);
    transferSequence->start();

    sparklesLaunched = 0;
    transferTime = 0.0f;
    mode = Transferring;
    sounds->playSound("transfer");
}

void Selection::update(float dt)
{
    if (pucks->empty())
        return;
    markerSpin->step(dt);
    if (transferSequence != nullptr && mode == Transferring)
        transferSequence->step(dt);
    // The step that ends the transfer resets the selection: nothing below
    // runs in that frame.
    if (mode != Transferring)
        return;

    placeArrow(sourcePuck->getPosition(), targetPuck->getPosition());
    transferTime += dt;
    const int due = static_cast<int>(transferTime / LAUNCH_INTERVAL);
    if (sparklesLaunched < BEAM_SPARKLES && due > sparklesLaunched)
    {
        const int launchUpTo = std::min(due, BEAM_SPARKLES);
        while (sparklesLaunched < launchUpTo)
        {
            beamMotions[sparklesLaunched]->loop();
            ++sparklesLaunched;
        }
    }
    for (int i = 0; i < sparklesLaunched; ++i)
        beamMotions[i]->step(dt);
}

void Selection::draw()
{
    if (sourcePuck != nullptr)
    {
        sourceMarker.setPosition(sourcePuck->getPosition());
        sourceMarker.draw();
    }
    if (mode != Aiming && mode != Transferring)
        return;
    if (targetPuck != nullptr)
    {
        targetMarker.setPosition(targetPuck->getPosition());
        targetMarker.draw();
    }
    arrow.draw();

    if (mode != Transferring)
        return;
    // The motions' offsets run -1..1 along and -0.5..0.5 across the arrow;
    // a drawn copy carries them scaled to the arrow's length and width.
    const float halfLength = arrow.getScaleX() / 2.0f;
    const float halfWidth = arrow.getScaleY() / 2.0f;
    for (int i = 0; i < sparklesLaunched; ++i)
    {
        Sprite shown = beamSparkles[i];
        shown.setAngle(arrow.getAngle());
        shown.setOffsetX(beamSparkles[i].getOffsetX() * halfLength);
        shown.setOffsetY(beamSparkles[i].getOffsetY() * halfWidth);
        shown.setPosition(arrow.getPosition());
        shown.draw();
    }
}

SelectionMode Selection::getMode() const
{
    return mode;
}

Puck* Selection::getSourcePuck() const
{
    return sourcePuck;
}

Puck* Selection::getTargetPuck() const
{
    return targetPuck;
}

int Selection::getSparklesLaunched() const
{
    return sparklesLaunched;
}

const Sprite& Selection::getArrow() const
{
    return arrow;
}
