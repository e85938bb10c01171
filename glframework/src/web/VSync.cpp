#include "glframework/RenderSettings.h"

#include "glframework/Log.h"

// The browser paces frames itself, to the display's refresh: there is no
// swap control to set.

void initVSync()
{
    logLine("VSync control disabled.");
}

void setVSync(bool)
{
}

bool isVSyncOn()
{
    return false;
}

bool isVSyncAvailable()
{
    return false;
}
