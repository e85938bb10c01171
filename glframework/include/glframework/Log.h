#pragma once

#include <iostream>

// The program's log: every event is one line on standard output, ended with
// a line end that flushes it, so that each line is out even if the program
// ends right after. Error lines begin with "ERROR: ".

// Writes the parts one after another as one line, as operator<< prints them.
template <class... Parts>
void logLine(const Parts&... parts)
{
    (std::cout << ... << parts) << std::endl;
}

// Writes "ERROR: " and the parts as one line.
template <class... Parts>
void logError(const Parts&... parts)
{
    logLine("ERROR: ", parts...);
}
