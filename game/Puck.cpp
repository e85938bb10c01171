#include "Puck.h"

#include "Board.h"
#include "RandomDraw.h"

#include "glframework/Camera.h"
#include "glframework/vectors.h"

namespace
{
// Texture keys live for the whole run, as the texture cache needs.
const char* const PUCK_IMAGE = "./img/puck.png";
const char* const AURA_IMAGE = "./img/aura.png";

// The window's half extents, in board units.
constexpr float HALF_WIDTH = Camera::WORLD_WIDTH / 2.0f;
constexpr float HALF_HEIGHT = Camera::WORLD_HEIGHT / 2.0f;

constexpr float AURA_PERIOD = 1.25f;  // seconds per pulse
constexpr float AURA_SMALLEST = 40.0f; // aura size at the start of a pulse
constexpr float GROW_TIME = 0.5f;     // seconds to grow in

float pulseSize(float brightness)
{
    return floatAbs(brightness - 50.0f) * 0.8f + 50.0f;
}

// v mirrored in the line (or plane) whose unit normal is n.
Vector3 reflect(const Vector3& v, const Vector3& n)
{
    return v - n * (2.0f * dot(v, n));
}
} // namespace

Puck::Puck(float initialBrightness)
    : brightness(0.0f), aura(nullptr), auraGrow(nullptr), auraFade(nullptr), growIn(nullptr),
      direction(0.0f, 0.0f, 0.0f)
{
    setScale(SIZE);
    setTexture(PUCK_IMAGE);

    // The first draw gives y and the second x; the small bias keeps the
    // heading off the exact vertical.
    const double r1 = randomFraction();
    const double r2 = randomFraction();
    direction = Vector3(static_cast<float>(2.0 * r2 - 1.0 + 0.01), static_cast<float>(2.0 * r1 - 1.0), 0.0f);
    direction.normalize();

    aura = new Sprite();
    aura->setTexture(AURA_IMAGE);

    // Each puck pulses at its own phase; past the end the clock clamps, so
    // some pucks start their pulse at its very end.
    auraGrow = new BlendInterval<Sprite, float>(aura, &Sprite::setScale, AURA_PERIOD, AURA_SMALLEST, 80.0f);
    auraGrow->loop();
    auraGrow->setTime(static_cast<float>(randomFraction() * 1.5));

    auraFade = new BlendInterval<Sprite, float>(aura, &Sprite::setAlpha, AURA_PERIOD, 1.0f, 0.0f);
    auraFade->loop();
    auraFade->setTime(auraGrow->getTime());

    setBrightness(initialBrightness);

    const double r4 = randomFraction();
    const double r5 = randomFraction();
    // Pucks start in the square, one board radius wide, around the centre.
    setPosition(static_cast<float>(r5 * BOARD_RADIUS - BOARD_RADIUS / 2.0f),
                static_cast<float>(r4 * BOARD_RADIUS - BOARD_RADIUS / 2.0f), 0.0f);

    // Starting applies the size 0 at once; the puck grows over its first updates.
    growIn = new BlendInterval<Sprite, float>(this, &Sprite::setScale, GROW_TIME, 0.0f, SIZE);
    growIn->start();
}

Puck::~Puck()
{
    delete aura;
    delete auraGrow;
    delete auraFade;
    delete growIn;
}

void Puck::update(float dt)
{
    auraFade->step(dt);
    auraGrow->step(dt);
    growIn->step(dt);

    position = position + direction * (getSpeed() * dt);
    position.z = 0.0f;

    // The window's edges turn the puck when its rim crosses them outwards.
    const float halfX = scale.x / 2.0f;
    if ((position.x - halfX < -HALF_WIDTH && direction.x < 0.0f) ||
        (position.x + halfX > HALF_WIDTH && direction.x > 0.0f))
        direction.x = -direction.x;
    const float halfY = scale.y / 2.0f;
    if ((position.y - halfY < -HALF_HEIGHT && direction.y < 0.0f) ||
        (position.y + halfY > HALF_HEIGHT && direction.y > 0.0f))
        direction.y = -direction.y;

    // The board's rim holds the centre: back onto the rim, heading mirrored
    // in the rim's tangent.
    if (sqrlen(position) > BOARD_RADIUS * BOARD_RADIUS)
    {
        Vector3 n = position;
        n.normalize();
        position = n * BOARD_RADIUS;
        direction = reflect(direction, n);
    }
}

void Puck::setBrightness(float value)
{
    if (!(value >= 0.0f))
        value = 0.0f;
    else if (value > 100.0f)
        value = 100.0f;

    const float auraAlpha = aura->getAlpha();
    if (value >= 50.0f)
        aura->setColor(Vector4(1.0f, 1.0f, 0.0f, auraAlpha));
    else
        aura->setColor(Vector4(0.7f, 0.0f, 0.7f, auraAlpha));
    auraGrow->setEndValue(pulseSize(value));

    brightness = value;
    const float grey = value / 100.0f;
    setColor(Vector4(grey, grey, grey, color.w));
}

float Puck::getBrightness() const
{
    return brightness;
}

float Puck::getSpeed() const
{
    return floatAbs(brightness - 50.0f) * 0.2f + 30.0f;
}

void Puck::setDirection(const Vector3& v)
{
    // A click on the puck's exact centre must not stop it dead.
    if (!(sqrlen(v) > 0.0f))
        return;
    direction = v;
    direction.normalize();
}

Vector3 Puck::getDirection() const
{
    return direction;
}

void Puck::drawAura()
{
    // Drawn at the puck's centre without a matrix of our own: the aura is
    // placed there just for this draw.
    aura->setPosition(position);
    aura->draw();
}

const Sprite& Puck::getAura() const
{
    return *aura;
}

void collide(Puck* a, Puck* b)
{
    if (a == b)
        return;
    const Vector3 d = a->position - b->position;
    if (sqrlen(d) > a->scale.x * b->scale.x)
        return;

    const float overlap = a->scale.x - length(d);
    // From b towards a; pucks on one point part along x instead of sticking.
    Vector3 n = sqrlen(d) > 0.0f ? d : Vector3(1.0f, 0.0f, 0.0f);
    n.normalize();

    a->direction = reflect(a->direction, n);
    b->direction = reflect(b->direction, -n);
    a->position = a->position + n * 0.5f * overlap;
    b->position = b->position - n * 0.5f * overlap;
}
