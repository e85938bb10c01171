#pragma once

#include <cstdint>
#include <vector>

// Finds the pucks in a screenshot of play. A puck's picture is pure grey and
// its tint is a grey too, so a puck shows as a disc of neutral pixels (red,
// green and blue nearly equal), while everything around it is coloured: the
// purple sky, the lavender board, the yellow and purple auras, the green
// rings, the cream sparkles. The pucks are therefore the connected patches of
// neutral pixels with a puck's area and extent. Tiny patches are stray
// pixels of sparkles; any other patch big enough to matter is unclear: pucks
// touching each other, or a puck cut by the window's edge or covered in part.
class ScreenshotPucks
{
public:
    // One whole puck as seen.
    struct Seen
    {
        double x;     // centre, in screenshot pixels from the left
        double y;     // centre, in screenshot pixels from the top
        double shade; // mean grey of its pixels, 0..255
    };

    // rgb: width * height pixels, three bytes each, rows from the top.
    ScreenshotPucks(const std::vector<std::uint8_t>& rgb, int width, int height);

    // The whole, separate pucks, in no particular order.
    const std::vector<Seen>& whole() const;
    // How many neutral patches are too big to be stray pixels yet are not
    // one whole puck.
    int unclear() const;
    // Each whole puck's brightness, 0..100, judged by its shade against the
    // brightest puck's (taken to be 100); in the order of whole().
    std::vector<double> brightnesses() const;

private:
    std::vector<Seen> pucks;
    int unclearCount;
};
