#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a window shows, grabbed with ImageMagick's import (or a screenshot
// read from a file): 8-bit RGB pixels, rows from the top. Without a window manager a window sits at (-1, -1), so
// a grab lacks its first row and column.
class WindowPicture
{
public:
    // Grabs the X window (decimal id); an empty picture if the grab failed.
    static WindowPicture grab(const std::string& window);
    // Reads a picture file (a PNG screenshot, say); empty if it cannot be read.
    static WindowPicture load(const std::string& file);

    // Whether the grab holds any pixels.
    bool empty() const;
    // Mean difference per channel (0..255) from other; 255 when the sizes differ.
    double meanDifference(const WindowPicture& other) const;
    // Mean difference per channel (0..255) from the part of a 1024 x 1024
    // picture file (relative to the source folder) that the 800 x 600 window
    // shows, turned upside down when flipped; 255 when it cannot be read.
    double differenceFrom(const std::string& picture, bool flipped = false) const;
    // Whether the grab shows that window part of picture upright (a mean
    // difference under 6) and clearly not upside down (at least 4 more that
    // way); when not, why holds both differences.
    bool showsUpright(const std::string& picture, std::string& why) const;
    // Whether every pixel is within tolerance of (red, green, blue) on each channel.
    bool plain(int red, int green, int blue, int tolerance) const;
    // The picture resampled to width x height by taking the nearest pixel,
    // so that no new colour is made.
    WindowPicture resized(int newWidth, int newHeight) const;

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
