#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// Collects everything written to std::cout while it lives, so that tests can
// check the exact log lines an operation prints.
class CoutCapture
{
public:
    CoutCapture() : previous(std::cout.rdbuf(captured.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous); }

    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;

    // Everything captured so far, line ends included.
    std::string text() const { return captured.str(); }

    // The captured lines, without their line ends.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(captured.str());
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};
