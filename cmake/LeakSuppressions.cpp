// Linked into every program of a sanitizer build. LeakSanitizer reads this at
// start-up: the system libraries below keep small allocations for the life of
// the process (D-Bus, set up by SDL when a display exists; Mesa's and the X
// libraries' per-process state; the X input extension's event data that
// freeglut does not hand back when a drag crosses the window's edge), which
// are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:swrast_dri.so\n"
           "leak:libX11.so\n"
           "leak:libglut.so\n"
           "leak:libXi.so\n";
}

#ifdef LUMEN_MESA_SOFTWARE_DRIVER
#include <dlfcn.h>

namespace
{
// Mesa unloads its driver when the display closes, after which LeakSanitizer
// can no longer name the library that made the driver's allocations. Holding
// one reference of our own keeps it loaded, so the suppression above applies.
// The build finds where the driver lives on this machine.
struct KeepGlDriverLoaded
{
    KeepGlDriverLoaded() { dlopen(LUMEN_MESA_SOFTWARE_DRIVER, RTLD_LAZY | RTLD_LOCAL); }
} keepGlDriverLoaded;
} // namespace
#endif
