#pragma once

// Draws a spectrum with OpenGL as vertical lines, the loudest band in red,
// and remembers the loudest value it drew.
class SpectrumDrawing
{
public:
    // Nothing drawn yet: the last peak is 0.
    SpectrumDrawing();

    // Draws count values (band 0 first, each 0 to 1) in the square -1..1 as
    // count vertical lines evenly spread from x = -1 (line i at
    // x = 2 * i / count - 1), each rising from y = -1 by its value: the
    // highest in red, the others blue-grey. Remembers that highest value.
    // values stay the caller's. Needs a current GL context; leaves the
    // matrices as they were and the last colour current.
    void draw(const float* values, int count);
    // The highest value found by the last draw; 0 before the first draw or
    // when every value drawn was 0.
    float getLastPeak() const;

private:
    float lastPeak;
};
