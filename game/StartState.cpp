#include "StartState.h"

#include "Screens.h"

#include <GL/freeglut.h>

StartState::StartState(const char* name_) : State(name_), page(0) {}

bool StartState::enter(State*)
{
    // A fresh sprite: the one built with this object, before the window
    // existed, has no display list.
    background = Sprite();
    background.setScale(1024.0f);
    background.setPosition(0.0f, 0.0f, 0.0f);
    background.setTexture("./img/splash.jpg");
    page = 0;
    return true;
}

void StartState::draw()
{
    background.draw();
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
