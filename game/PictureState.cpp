#include "PictureState.h"

PictureState::PictureState(const char* name_) : State(name_) {}

void PictureState::draw()
{
    background.draw();
}

void PictureState::showPicture(const char* fileName)
{
    background = Sprite();
    background.setScale(PICTURE_SCALE);
    background.setTexture(fileName);
}
