#pragma once

// Ends the program from inside one of GLUT's callbacks, as the exit keys
// do: the program's static objects are destroyed (so the sounds stop), then
// the process ends with status.
class ProgramExit
{
public:
    ProgramExit() = delete;

    [[noreturn]] static void now(int status);
};
