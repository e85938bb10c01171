#pragma once

#include <string>
#include <vector>

// What the real game prints while all goes well: the lines of its start-up,
// of its texture loads and sound plays, and of every key it is given.
// End-to-end tests hold a whole run's output against it, so that a line the
// game should not print (an error, a key line broken in two) is caught.
class GameLog
{
public:
    // True when line is one the game prints in ordinary play: a start-up
    // line, "Loaded texture ./img/<one of its pictures>", "Playing <one of
    // its four sounds>", "Stopping all sounds", a key line whose character
    // is the code it names ("Key Down: a(97)"), a special key line whose two
    // numbers agree, or a modifier line with a mask of 0 to 7.
    static bool isOrdinary(const std::string& line);

    // The lines of output that are not ordinary, each with its index, as
    // "<index>: <line>"; empty when every line is ordinary.
    static std::vector<std::string> unordinary(const std::vector<std::string>& output);

    // How many lines of output equal line.
    static int count(const std::vector<std::string>& output, const std::string& line);

    // The lines joined with line ends, for a failure message.
    static std::string dump(const std::vector<std::string>& output);
};
