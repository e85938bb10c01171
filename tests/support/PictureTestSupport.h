#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the picture tests: a GL window whose world units are
// pixels, frame read-back, and small image files made with ImageMagick.

// Opens (once) the 800 x 600 test window, sets an orthographic camera and
// applies the reshape, so that world point (x, y) lands on window pixel
// (400 + x, 300 + y) counted from the bottom-left corner.
void setUpPixelWorld();

// Opens (once) the 800 x 600 test window and draws in its clip space:
// identity matrices and the whole window as the viewport, so that the square
// -1..1 fills the window.
void setUpClipSpace();

// Clears the back buffer to opaque black.
void clearFrame();

// An RGB frame read back from the back buffer, bottom row first.
struct Frame
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // The pixel under world point (x, y) of the pixel world, as 0xRRGGBB.
    std::uint32_t atWorld(int x, int y) const;
    // Mean absolute difference per channel (0..255) against another frame.
    double meanDifference(const Frame& other) const;
};

// Reads the whole 800 x 600 back buffer.
Frame readFrame();


// Runs ImageMagick's convert with the arguments; true on success.
bool convert(const std::string& arguments);

// A name string that lives until the program ends, as the texture cache
// requires of its keys.
const char* keepName(const std::string& text);

// True when the colour is within tolerance of expected on every channel.
bool near(std::uint32_t colour, std::uint32_t expected, int tolerance = 12);
