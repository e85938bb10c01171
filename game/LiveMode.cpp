#include "LiveMode.h"

#include "Board.h"
#include "PictureState.h"
#include "Puck.h"
#include "RandomDraw.h"
#include "Screens.h"
#include "Selection.h"

#include "glframework/BlendInterval.h"
#include "glframework/Camera.h"
#include "glframework/FrameClock.h"
#include "glframework/Func.h"
#include "glframework/Parallel.h"
#include "glframework/Sequence.h"
#include "glframework/SineEvaluator.h"
#include "glframework/vectors.h"

#include <cmath>

namespace
{
// Texture keys live for the whole run, as the texture cache needs.
const char* const BACKGROUND_IMAGE = "./img/bg.jpg";
const char* const TOP_IMAGE = "./img/yingtop.png";
const char* const LEFT_IMAGE = "./img/yingleft.png";
const char* const RIGHT_IMAGE = "./img/yingright.png";
const char* const SPARKLE_IMAGE = "./img/whiteSparkle.png";

constexpr float BOARD_ALPHA = 0.75f;
constexpr float FADE_TIME = 1.5f;     // seconds for the opening fade to grey
constexpr float TWINKLE_PERIOD = 4.0f; // seconds per sparkle pulse

// Level units per second, per unit of brightness away from mid grey.
constexpr float PULL_PER_BRIGHTNESS = 0.0125f;
// A region's rate (level units per second) at which all its sparkles show.
constexpr double FULL_SPARKLE_RATE = 2.5;

const Vector4 DARKENING_SPARKLE(0.1f, 0.0f, 0.1f, 1.0f);
const Vector4 LIGHTENING_SPARKLE(1.0f, 1.0f, 0.9f, 1.0f);

using LevelBlend = BlendInterval<LiveMode, float>;
using SpriteBlend = BlendInterval<Sprite, float>;

// 0..100; a value that is not a number passes unchanged.
float clampLevel(float value)
{
    if (value < 0.0f)
        return 0.0f;
    if (value > 100.0f)
        return 100.0f;
    return value;
}

// A yin-yang layer of the board, centred on the origin.
Sprite boardLayer(const char* image)
{
    Sprite layer;
    layer.setScale(BOARD_SIZE);
    layer.setAlpha(BOARD_ALPHA);
    layer.setTexture(image);
    return layer;
}

void tintGrey(Sprite& sprite, float level)
{
    const float grey = level / 100.0f;
    sprite.setColor(Vector4(grey, grey, grey, sprite.getAlpha()));
}
} // namespace

LiveMode::LiveMode(const char* name_)
    : State(name_), soundManager(), rightLevel(0.0f), leftLevel(0.0f), selection(nullptr), intro(nullptr),
      twinkle(nullptr)
{
    // Decoding the music and opening (or failing to open) the sound device
    // take about as long as opening the window: do both at once.
    soundStart.start([this] {
        startSound();
        SoundManager::releaseThreadState();
    });
}

LiveMode::~LiveMode()
{
    waitForSound();
    // A program that ends during play still frees its game.
    deleteGame();
}

void LiveMode::startSound()
{
    soundManager.init();
    soundManager.loadSound("./sounds/bg.mp3", "bg");
    soundManager.loadLoop("./sounds/trans.wav", "transfer");
    soundManager.loadLoop("./sounds/accept.wav", "accept");
    soundManager.loadLoop("./sounds/gong.wav", "gong");
}

void LiveMode::waitForSound()
{
    soundStart.wait();
}

bool LiveMode::enter(State*)
{
    waitForSound();
    background = Sprite();
    background.setScale(PictureState::PICTURE_SCALE);
    background.setTexture(BACKGROUND_IMAGE);

    yingTop = boardLayer(TOP_IMAGE);
    yingLeft = boardLayer(LEFT_IMAGE);
    leftLevel = 100.0f;
    yingRight = boardLayer(RIGHT_IMAGE);
    rightLevel = 0.0f;

    intro = new Sequence(new Parallel(new LevelBlend(this, &LiveMode::setLeftLevel, FADE_TIME, 100.0f, 50.0f),
                                      new LevelBlend(this, &LiveMode::setRightLevel, FADE_TIME, 0.0f, 50.0f),
                                      nullptr),
                         new Func<LiveMode>(this, &LiveMode::spawnPucks), nullptr);
    intro->start();

    selection = new Selection(&pucks, &soundManager);

    // Sparkles crowd towards the centre: the radius is drawn uniformly. The
    // three draws of each sparkle are taken in this order.
    twinkle = new Parallel(nullptr);
    leftSparkles.reserve(SPARKLE_COUNT);
    rightSparkles.reserve(SPARKLE_COUNT);
    for (int i = 0; i < SPARKLE_COUNT; ++i)
    {
        Sprite* sparkle = new Sprite();
        sparkle->setScale(15.0f);
        sparkle->setTexture(SPARKLE_IMAGE);

        const float angle = static_cast<float>(2.0 * PI_FLOAT * randomFraction());
        const float radius = static_cast<float>(BOARD_RADIUS * randomFraction());
        sparkle->setPosition(floatCos(angle) * radius, floatSin(angle) * radius, 0.0f);
        if (isOnLeftSide(sparkle->getPosition()))
            leftSparkles.push_back(sparkle);
        else
            rightSparkles.push_back(sparkle);

        const float phase = static_cast<float>(2.0 * PI_FLOAT * randomFraction());
        twinkle->append(new SpriteBlend(sparkle, &Sprite::setAlpha, TWINKLE_PERIOD, 0.0f, 1.0f,
                                        new SineEvaluator(TWINKLE_PERIOD, phase)));
    }
    twinkle->loop();

    soundManager.playSound("bg");
    soundManager.playSound("gong");
    return true;
}

bool LiveMode::leave(State*)
{
    waitForSound();
    soundManager.stopAllSounds();
    deleteGame();
    soundManager.playSound("gong");
    return true;
}

void LiveMode::deleteGame()
{
    delete intro;
    intro = nullptr;
    delete selection;
    selection = nullptr;
    for (Puck* puck : pucks)
        delete puck;
    pucks.clear();
    for (Sprite* sparkle : leftSparkles)
        delete sparkle;
    leftSparkles.clear();
    for (Sprite* sparkle : rightSparkles)
        delete sparkle;
    rightSparkles.clear();
    delete twinkle;
    twinkle = nullptr;
}

void LiveMode::spawnPucks()
{
    pucks.reserve(PUCK_COUNT);
    for (int i = 0; i < PUCK_COUNT; ++i)
        pucks.push_back(new Puck(static_cast<float>(100 - 11 * i)));
}

void LiveMode::update()
{
    const float dt = getFrameDelta();

    intro->step(dt);
    twinkle->step(dt);

    // The halves show the levels as the last frame left them.
    tintGrey(yingRight, rightLevel);
    tintGrey(yingLeft, leftLevel);

    for (Puck* puck : pucks)
        puck->update(dt);
    for (std::size_t i = 0; i < pucks.size(); ++i)
        for (std::size_t j = i + 1; j < pucks.size(); ++j)
            collide(pucks[i], pucks[j]);

    selection->update(dt);

    // The one rule: each puck pulls its region's level towards its own
    // brightness, in proportion to how far that lies from mid grey.
    float leftRate = 0.0f;
    float rightRate = 0.0f;
    for (const Puck* puck : pucks)
    {
        const float contribution = (puck->getBrightness() - 50.0f) * PULL_PER_BRIGHTNESS * dt;
        if (isOnLeftSide(puck->getPosition()))
            leftRate += contribution;
        else
            rightRate += contribution;
    }
    setLeftLevel(leftLevel + leftRate);
    setRightLevel(rightLevel + rightRate);

    // Per second from here on; a frame without time has no rate to show.
    if (dt > 0.0f)
    {
        leftRate /= dt;
        rightRate /= dt;
    }
    else
    {
        leftRate = 0.0f;
        rightRate = 0.0f;
    }
    showSparkles(leftSparkles, leftRate);
    showSparkles(rightSparkles, rightRate);

    if (!intro->isFinished())
        return;
    if (leftLevel > 95.0f && rightLevel < 5.0f)
    {
        endState.won = true;
        changeState(&endState);
        return;
    }
    if (leftLevel < 5.0f && rightLevel > 95.0f)
    {
        endState.won = false;
        changeState(&endState);
    }
}

void LiveMode::showSparkles(const std::vector<Sprite*>& sparkles, float rate)
{
    const Vector4& tint = rate < 0.0f ? DARKENING_SPARKLE : LIGHTENING_SPARKLE;
    const double shown = static_cast<double>(sparkles.size()) * (std::fabs(rate) / FULL_SPARKLE_RATE);
    for (std::size_t i = 0; i < sparkles.size(); ++i)
    {
        Sprite* sparkle = sparkles[i];
        sparkle->setColor(Vector4(tint.x, tint.y, tint.z, sparkle->getAlpha()));
        if (shown > static_cast<double>(i))
            sparkle->show();
        else
            sparkle->hide();
    }
}

void LiveMode::draw()
{
    background.draw();
    yingLeft.draw();
    yingRight.draw();
    for (Sprite* sparkle : rightSparkles)
        sparkle->draw();
    for (Sprite* sparkle : leftSparkles)
        sparkle->draw();
    yingTop.draw();
    for (Puck* puck : pucks)
        puck->drawAura();
    for (Puck* puck : pucks)
        puck->draw();
    selection->draw();
}

void LiveMode::mouseButton(int button, int state, int x, int y)
{
    selection->mouseButton(button, state, screenToWorld(x, y));
}

void LiveMode::mouseDrag(int x, int y)
{
    selection->mouseDrag(screenToWorld(x, y));
}

void LiveMode::mouseMove(int x, int y)
{
    selection->mouseMove(screenToWorld(x, y));
}

void LiveMode::keyUp(unsigned char key, int, int)
{
    if (key != 'q')
        return;
    endState.won = true;
    changeState(&endState);
}

void LiveMode::setLeftLevel(float value)
{
    leftLevel = clampLevel(value);
}

void LiveMode::setRightLevel(float value)
{
    rightLevel = clampLevel(value);
}

float LiveMode::getLeftLevel() const
{
    return leftLevel;
}

float LiveMode::getRightLevel() const
{
    return rightLevel;
}

bool LiveMode::isOnLeftSide(const Vector3& point) const
{
    return isInLeftHalf(point);
}

bool LiveMode::isOpening() const
{
    return intro != nullptr && !intro->isFinished();
}

const std::vector<Puck*>& LiveMode::getPucks() const
{
    return pucks;
}

const Selection* LiveMode::getSelection() const
{
    return selection;
}

const std::vector<Sprite*>& LiveMode::getLeftSparkles() const
{
    return leftSparkles;
}

const std::vector<Sprite*>& LiveMode::getRightSparkles() const
{
    return rightSparkles;
}
