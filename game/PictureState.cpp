#include "PictureState.h"

PictureState::PictureState(const char* name_) : State(name_) {}

void PictureState::draw()
{
    background.draw();
}

void PictureState::showPicture(const char* fileName)
{
    background = Sprite();
    background.setScale(1024.0f);
    background.setTexture(fileName);
}
