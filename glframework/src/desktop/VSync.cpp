#include "glframework/RenderSettings.h"

#include "glframework/Log.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstring>

// Vertical sync on the desktop: GLX's swap control extensions.

namespace
{
using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned int);
using GetSwapIntervalMesa = int (*)();

bool vsyncAvailable = false;
SwapIntervalExt swapIntervalExt = nullptr;
SwapIntervalMesa swapIntervalMesa = nullptr;
GetSwapIntervalMesa getSwapIntervalMesa = nullptr;

bool hasExtension(const char* extensions, const char* name)
{
    // Whole-word match, so that one name cannot hide inside a longer one.
    const std::size_t length = std::strlen(name);
    for (const char* at = extensions; (at = std::strstr(at, name)) != nullptr; at += length)
    {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

void* lookUp(const char* name)
{
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}
} // namespace

void initVSync()
{
    Display* display = glXGetCurrentDisplay();
    const char* extensions =
        display != nullptr ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
    if (extensions != nullptr && hasExtension(extensions, "GLX_EXT_swap_control"))
    {
        swapIntervalExt = reinterpret_cast<SwapIntervalExt>(lookUp("glXSwapIntervalEXT"));
        vsyncAvailable = swapIntervalExt != nullptr;
    }
    else if (extensions != nullptr && hasExtension(extensions, "GLX_MESA_swap_control"))
    {
        swapIntervalMesa = reinterpret_cast<SwapIntervalMesa>(lookUp("glXSwapIntervalMESA"));
        getSwapIntervalMesa = reinterpret_cast<GetSwapIntervalMesa>(lookUp("glXGetSwapIntervalMESA"));
        vsyncAvailable = swapIntervalMesa != nullptr && getSwapIntervalMesa != nullptr;
    }
    if (!vsyncAvailable)
        logLine("VSync control disabled.");
}

void setVSync(bool on)
{
    if (!vsyncAvailable)
        return;
    if (swapIntervalExt != nullptr)
        swapIntervalExt(glXGetCurrentDisplay(), glXGetCurrentDrawable(), on ? 1 : 0);
    else
        swapIntervalMesa(on ? 1u : 0u);
    logLine("VSync ", (on ? "enabled" : "disabled"));
}

bool isVSyncOn()
{
    if (!vsyncAvailable)
        return false;
    if (swapIntervalExt != nullptr)
    {
        unsigned int interval = 0;
        glXQueryDrawable(glXGetCurrentDisplay(), glXGetCurrentDrawable(), GLX_SWAP_INTERVAL_EXT,
                         &interval);
        return interval > 0;
    }
    return getSwapIntervalMesa() > 0;
}

bool isVSyncAvailable()
{
    return vsyncAvailable;
}

