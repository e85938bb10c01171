#include "LiveMode.h"

#include "glframework/vectors.h"

LiveMode::LiveMode(const char* name_) : State(name_), soundManager()
{
    soundManager.init();
    soundManager.loadSound("./sounds/bg.mp3", "bg");
    soundManager.loadLoop("./sounds/trans.wav", "transfer");
    soundManager.loadLoop("./sounds/accept.wav", "accept");
    soundManager.loadLoop("./sounds/gong.wav", "gong");
}

LiveMode::~LiveMode() = default;

bool LiveMode::isOnLeftSide(const Vector3& point) const
{
    const float radiusSquared = 150.0f * 150.0f;
    if (sqrlen(point - upperCentre) <= radiusSquared)
        return true;
    if (sqrlen(point - lowerCentre) <= radiusSquared)
        return false;
    return point.x <= 0.0f;
}
