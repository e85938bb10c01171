#include "ProgramExit.h"

#include <cstdlib>

void ProgramExit::now(int status)
{
    std::exit(status);
}
