#include "support/GameLog.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

namespace
{
bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool allDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// "<character>(<code>)": the code of an ordinary key and the character it
// is, which a line feed (code 10) leaves out so that its line stays whole.
bool isKeyEvent(const std::string& rest)
{
    const std::size_t open = rest.rfind('(');
    if (open == std::string::npos || rest.back() != ')')
        return false;
    const std::string code = rest.substr(open + 1, rest.size() - open - 2);
    if (!allDigits(code) || code.size() > 3)
        return false;
    const int value = std::atoi(code.c_str());
    if (value > 255)
        return false;
    if (value == '\n')
        return open == 0;
    return open == 1 && static_cast<unsigned char>(rest[0]) == value;
}

// "<code>(<code>)": a special key, its number twice.
bool isSpecialEvent(const std::string& rest)
{
    const std::size_t open = rest.find('(');
    if (open == std::string::npos || rest.back() != ')')
        return false;
    const std::string first = rest.substr(0, open);
    return allDigits(first) && rest.substr(open + 1, rest.size() - open - 2) == first;
}
} // namespace

bool GameLog::isOrdinary(const std::string& line)
{
    static const std::set<std::string> fixed = {
        "Camera initialized", "Constructing Sound Manager...", "Loaded Sound bg", "Loaded loop transfer",
        "Loaded loop accept", "Loaded loop gong", "VSync control disabled.",
        "Backface culling disabled", "Z-buffer disabled", "Playing bg", "Playing gong", "Playing accept",
        "Playing transfer", "Stopping all sounds"};
    static const std::set<std::string> pictures = {
        "arrow.png", "aura.png", "bg.jpg", "instructions.jpg", "lose.jpg", "puck.png", "selection.png",
        "sparkle.png", "splash.jpg", "whiteSparkle.png", "win.jpg", "yingleft.png", "yingright.png",
        "yingtop.png"};
    if (fixed.count(line) != 0)
        return true;
    if (startsWith(line, "Loaded texture ./img/"))
        return pictures.count(line.substr(21)) != 0;
    if (startsWith(line, "QueryPerformanceFrequency: "))
        return allDigits(line.substr(27));
    if (startsWith(line, "Modifiers: "))
        return line.size() == 12 && line[11] >= '0' && line[11] <= '7';
    if (startsWith(line, "Key Down: "))
        return isKeyEvent(line.substr(10));
    if (startsWith(line, "Key Up: "))
        return isKeyEvent(line.substr(8));
    if (startsWith(line, "Special Down: "))
        return isSpecialEvent(line.substr(14));
    if (startsWith(line, "Special Up: "))
        return isSpecialEvent(line.substr(12));
    return false;
}

std::vector<std::string> GameLog::unordinary(const std::vector<std::string>& output)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < output.size(); ++i)
        if (!isOrdinary(output[i]))
            found.push_back(std::to_string(i) + ": " + output[i]);
    return found;
}

int GameLog::count(const std::vector<std::string>& output, const std::string& line)
{
    return static_cast<int>(std::count(output.begin(), output.end(), line));
}

std::string GameLog::dump(const std::vector<std::string>& output)
{
    std::string all;
    for (const std::string& line : output)
        all += line + "\n";
    return all;
}
