#include "StartState.h"

#include "Screens.h"

#include <GL/glut.h>

StartState::StartState(const char* name_) : PictureState(name_), page(0) {}

bool StartState::enter(State*)
{
    showPicture("./img/splash.jpg");
    page = 0;
    return true;
}

void StartState::mouseButton(int button, int state, int, int)
{
    if (button != GLUT_LEFT_BUTTON || state != GLUT_UP)
        return;
    if (page == 0)
    {
        page += 1;
        background.setTexture("./img/instructions.jpg");
        return;
    }
    changeState(&liveMode);
}

int StartState::getPage() const
{
    return page;
}
