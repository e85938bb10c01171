// A library preloaded into a program (LD_PRELOAD) to time its start-up from
// outside: at the program's first buffer swap it writes the monotonic clock,
// in nanoseconds, to the file descriptor named by LUMEN_SWAP_PROBE_FD and
// ends the program at once. The program itself is not changed.
#include <GL/glx.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    using SwapFunction = void (*)(Display*, GLXDrawable);
    static auto realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (realSwap != nullptr)
        realSwap(display, drawable);
    // The frame counts as swapped once the X server has taken it.
    XSync(display, False);

    const char* fdText = std::getenv("LUMEN_SWAP_PROBE_FD");
    if (fdText == nullptr)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%lld\n",
                                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (write(std::atoi(fdText), line, static_cast<size_t>(length)) < 0)
        _exit(2);
    _exit(0);
}
