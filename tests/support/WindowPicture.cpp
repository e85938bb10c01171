#include "support/WindowPicture.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
// Reads the binary PPM that command writes on its standard output.
WindowPicture readPpm(const std::string& command)
{
    WindowPicture shot;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return shot;
    int maxValue = 0;
    if (std::fscanf(pipe, "P6 %d %d %d", &shot.width, &shot.height, &maxValue) == 3 && maxValue == 255 &&
        std::fgetc(pipe) != EOF && shot.width > 0 && shot.height > 0)
    {
        shot.rgb.resize(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height) * 3);
        if (std::fread(shot.rgb.data(), 1, shot.rgb.size(), pipe) != shot.rgb.size())
            shot.rgb.clear();
    }
    pclose(pipe);
    if (shot.rgb.empty())
        shot.width = shot.height = 0;
    return shot;
}
} // namespace

WindowPicture WindowPicture::grab(const std::string& window)
{
    return readPpm("import -window " + window + " -depth 8 ppm:- 2>/dev/null");
}

WindowPicture WindowPicture::load(const std::string& file)
{
    return readPpm("convert '" + file + "' -alpha off -depth 8 ppm:- 2>/dev/null");
}

double WindowPicture::differenceFrom(const std::string& picture, bool flipped) const
{
    if (empty())
        return 255.0;
    // The grab lacks the window's first rows and columns when it is smaller.
    const int skipped = 800 - width;
    const std::string command = "convert " + std::string(LUMEN_SOURCE_DIR) + "/" + picture +
                                " -crop 800x600+112+212 +repage" + (flipped ? " -flip" : "") + " -crop " +
                                std::to_string(width) + "x" + std::to_string(height) + "+" +
                                std::to_string(skipped) + "+" + std::to_string(skipped) +
                                " +repage -depth 8 rgb:- 2>/dev/null";
    WindowPicture expected;
    expected.width = width;
    expected.height = height;
    expected.rgb.resize(rgb.size());
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return 255.0;
    const bool complete = std::fread(expected.rgb.data(), 1, expected.rgb.size(), pipe) == expected.rgb.size();
    pclose(pipe);
    return complete ? meanDifference(expected) : 255.0;
}

bool WindowPicture::showsUpright(const std::string& picture, std::string& why) const
{
    const double upright = differenceFrom(picture);
    const double upsideDown = differenceFrom(picture, true);
    why = picture + " differs by " + std::to_string(upright) + " upright and " + std::to_string(upsideDown) +
          " upside down";
    return upright < 6.0 && upsideDown > upright + 4.0;
}

bool WindowPicture::empty() const
{
    return rgb.empty();
}

double WindowPicture::meanDifference(const WindowPicture& other) const
{
    if (empty() || width != other.width || height != other.height)
        return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < rgb.size(); ++i)
        sum += std::abs(static_cast<int>(rgb[i]) - static_cast<int>(other.rgb[i]));
    return sum / static_cast<double>(rgb.size());
}

bool WindowPicture::plain(int red, int green, int blue, int tolerance) const
{
    if (empty())
        return false;
    const int wanted[3] = {red, green, blue};
    for (std::size_t i = 0; i < rgb.size(); ++i)
        if (std::abs(static_cast<int>(rgb[i]) - wanted[i % 3]) > tolerance)
            return false;
    return true;
}

WindowPicture WindowPicture::resized(int newWidth, int newHeight) const
{
    WindowPicture result;
    if (empty() || newWidth <= 0 || newHeight <= 0)
        return result;
    result.width = newWidth;
    result.height = newHeight;
    result.rgb.resize(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight) * 3);
    for (int y = 0; y < newHeight; ++y)
    {
        const int fromY = static_cast<int>((y + 0.5) * height / newHeight);
        for (int x = 0; x < newWidth; ++x)
        {
            const int fromX = static_cast<int>((x + 0.5) * width / newWidth);
            const std::size_t to = (static_cast<std::size_t>(y) * newWidth + x) * 3;
            const std::size_t from = (static_cast<std::size_t>(fromY) * width + fromX) * 3;
            for (int c = 0; c < 3; ++c)
                result.rgb[to + c] = rgb[from + c];
        }
    }
    return result;
}
