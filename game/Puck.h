#pragma once

#include "glframework/BlendInterval.h"
#include "glframework/Sprite.h"
#include "glframework/Vector3.h"

// A game piece holding an amount of light, its brightness, from 0 (black) to
// 100 (white). The sprite part is the puck's body: position is its centre in
// board units, scale its diameter (50 when grown), colour its grey. It drifts
// in a straight line at a speed set by its brightness, bounces off the
// window's edges and the board's rim, and carries a pulsing aura drawn under
// it: yellow for a light puck, purple for a dark one.
// Needs the window's GL context (it loads textures). Not copyable.
class Puck : public Sprite
{
public:
    // Full-size diameter in board units.
    static constexpr float SIZE = 50.0f;

    // A new puck at a random point of the square -150..150, heading a random
    // way, its size 0 and growing to SIZE over half a second. Takes five draws
    // of randomDraw, always in the same order.
    explicit Puck(float initialBrightness);
    // Deletes the aura and the puck's animations.
    ~Puck() override;

    Puck(const Puck&) = delete;
    Puck& operator=(const Puck&) = delete;

    // Advances the aura pulse and the grow-in by dt seconds, moves the puck
    // and turns it back at the window's edges (tested on its rim) and at the
    // board's rim (tested on its centre, which is put back onto the rim).
    void update(float dt);

    // Stores value clamped to 0..100 (anything not a number counts as 0) and
    // shows it: the puck's grey, the aura's colour and the pulse's width.
    void setBrightness(float value);
    float getBrightness() const;

    // Board units per second: 30 for mid grey, up to 40 for black or white.
    float getSpeed() const;

    // Heads the puck along v (any length). A vector without a direction
    // (zero, or not a number) keeps the current heading.
    void setDirection(const Vector3& v);
    // The unit heading, in the board plane.
    Vector3 getDirection() const;

    // Draws the aura centred on the puck; draw the auras before the pucks.
    void drawAura();

    // For looking at the aura in tests and on screen; owned by the puck.
    const Sprite& getAura() const;

private:
    friend void collide(Puck* a, Puck* b);

    float brightness;
    Sprite* aura;
    BlendInterval<Sprite, float>* auraGrow; // the aura's size: 40 to the pulse size, endless
    BlendInterval<Sprite, float>* auraFade; // the aura's opacity: 1 to 0, in step with auraGrow
    BlendInterval<Sprite, float>* growIn;   // the puck's own size: 0 to SIZE, once
    Vector3 direction;                      // unit vector of travel
};

// Bounces two touching pucks off each other: each one's heading has its part
// along the line of their centres reversed, and each is pushed half of the
// overlap away from the other. Pucks touch when the squared distance of their
// centres is at most the product of their sizes. Two pucks at exactly the
// same point are parted along the x axis. A puck given twice is left alone.
void collide(Puck* a, Puck* b);
