#include "EndState.h"

#include "Screens.h"

#include "glframework/FrameClock.h"

#include <GL/glut.h>

EndState::EndState(const char* name_) : PictureState(name_), won(false), enterTime(0.0f) {}

bool EndState::enter(State*)
{
    showPicture(won ? "./img/win.jpg" : "./img/lose.jpg");
    enterTime = static_cast<float>(getCurrentTime());
    return true;
}

void EndState::mouseButton(int button, int state, int, int)
{
    if (button != GLUT_LEFT_BUTTON || state != GLUT_UP)
        return;
    if (getCurrentTime() - enterTime > 3.0)
        changeState(&liveMode);
}
