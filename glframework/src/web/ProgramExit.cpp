#include "ProgramExit.h"

#include <emscripten.h>

void ProgramExit::now(int status)
{
    // A plain exit would leave the program running: the runtime keeps itself
    // alive while GLUT's idle callback is pending. Forced, it runs the static
    // destructors and ends, and the page is told through its onExit.
    emscripten_force_exit(status);
    __builtin_unreachable();
}
