#include "support/PlayDriver.h"

#include "support/PictureTestSupport.h"
#include "Screens.h"

#include "glframework/FrameClock.h"
#include "glframework/GlutCallbacks.h"
#include "glframework/State.h"

#include <GL/freeglut.h>

#include <cmath>

namespace
{
constexpr std::int64_t TICKS_PER_SECOND = 1000000000;
} // namespace

PlayDriver::PlayDriver() : ticks(100 * TICKS_PER_SECOND)
{
    setUpPixelWorld();
    frameClock() = FrameClock([] { return TICKS_PER_SECOND; }, [this] { return ticks; },
                              [this] { return static_cast<int>(ticks / 1000000); });
    frameClock().tick();
}

PlayDriver::~PlayDriver()
{
    frameClock() = FrameClock();
}

void PlayDriver::startGame()
{
    changeState(&liveMode);
}

void PlayDriver::advanceClock(float dt)
{
    ticks += static_cast<std::int64_t>(std::llround(static_cast<double>(dt) * TICKS_PER_SECOND));
}

void PlayDriver::frame(float dt)
{
    advanceClock(dt);
    onIdle();
}

float PlayDriver::run(float seconds)
{
    const State* screen = currentState;
    float done = 0.0f;
    while (done < seconds && currentState == screen)
    {
        frame();
        done += FRAME;
    }
    return done;
}

void PlayDriver::runOpening()
{
    run(2.2f);
}

int PlayDriver::pixelX(const Vector3& board)
{
    return static_cast<int>(std::lround(board.x + 400.0f));
}

int PlayDriver::pixelY(const Vector3& board)
{
    return static_cast<int>(std::lround(300.0f - board.y));
}

void PlayDriver::pointAt(const Vector3& board)
{
    onPassiveMotion(pixelX(board), pixelY(board));
}

void PlayDriver::dragTo(const Vector3& board)
{
    onMotion(pixelX(board), pixelY(board));
}

void PlayDriver::click(const Vector3& board, int button)
{
    onMouse(button, GLUT_DOWN, pixelX(board), pixelY(board));
    onMouse(button, GLUT_UP, pixelX(board), pixelY(board));
}
