#include "support/ScreenshotPucks.h"

#include <algorithm>
#include <cstdlib>

namespace
{
// Largest difference between two channels of a pixel counted as neutral.
// A puck's own pixels have equal channels; the rim where it blends into the
// board does not. A fading aura over the lavender board can come close to
// grey, within a few units, so the margin stays small.
constexpr int NEUTRAL_TOLERANCE = 2;

// A whole 50-pixel puck covers about 1960 pixels; its blended rim is not
// neutral, so slightly fewer are found.
constexpr int WHOLE_AREA_MIN = 1700;
constexpr int WHOLE_AREA_MAX = 2150;
constexpr int WHOLE_EXTENT_MIN = 46;
constexpr int WHOLE_EXTENT_MAX = 53;
// Patches smaller than this are the dark tips of sparkles and the like.
constexpr int STRAY_AREA_MAX = 300;

bool isNeutral(const std::uint8_t* pixel)
{
    const int r = pixel[0];
    const int g = pixel[1];
    const int b = pixel[2];
    return std::abs(r - g) <= NEUTRAL_TOLERANCE && std::abs(g - b) <= NEUTRAL_TOLERANCE &&
           std::abs(r - b) <= NEUTRAL_TOLERANCE;
}
} // namespace

ScreenshotPucks::ScreenshotPucks(const std::vector<std::uint8_t>& rgb, int width, int height) : unclearCount(0)
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || rgb.size() < count * 3)
        return;

    // 0: not neutral or already taken into a patch; 1: neutral, not yet visited.
    std::vector<std::uint8_t> open(count);
    for (std::size_t i = 0; i < count; ++i)
        open[i] = isNeutral(&rgb[i * 3]) ? 1 : 0;

    std::vector<std::size_t> stack;
    for (std::size_t start = 0; start < count; ++start)
    {
        if (open[start] == 0)
            continue;
        // Flood one patch, four-connected, gathering its extent and sums.
        open[start] = 0;
        stack.assign(1, start);
        int area = 0;
        int left = width, right = -1, top = height, bottom = -1;
        double sumX = 0.0, sumY = 0.0, sumGrey = 0.0;
        while (!stack.empty())
        {
            const std::size_t i = stack.back();
            stack.pop_back();
            const int x = static_cast<int>(i % static_cast<std::size_t>(width));
            const int y = static_cast<int>(i / static_cast<std::size_t>(width));
            ++area;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            sumX += x;
            sumY += y;
            sumGrey += (rgb[i * 3] + rgb[i * 3 + 1] + rgb[i * 3 + 2]) / 3.0;

            const auto visit = [&](std::size_t next) {
                if (open[next] != 0)
                {
                    open[next] = 0;
                    stack.push_back(next);
                }
            };
            const std::size_t w = static_cast<std::size_t>(width);
            if (x > 0)
                visit(i - 1);
            if (x + 1 < width)
                visit(i + 1);
            if (y > 0)
                visit(i - w);
            if (y + 1 < height)
                visit(i + w);
        }

        if (area <= STRAY_AREA_MAX)
            continue;
        const int extentX = right - left + 1;
        const int extentY = bottom - top + 1;
        const bool whole = area >= WHOLE_AREA_MIN && area <= WHOLE_AREA_MAX && extentX >= WHOLE_EXTENT_MIN &&
                           extentX <= WHOLE_EXTENT_MAX && extentY >= WHOLE_EXTENT_MIN &&
                           extentY <= WHOLE_EXTENT_MAX;
        if (whole)
            pucks.push_back(Seen{sumX / area, sumY / area, sumGrey / area});
        else
            ++unclearCount;
    }
}

const std::vector<ScreenshotPucks::Seen>& ScreenshotPucks::whole() const
{
    return pucks;
}

int ScreenshotPucks::unclear() const
{
    return unclearCount;
}

std::vector<double> ScreenshotPucks::brightnesses() const
{
    double brightest = 0.0;
    for (const Seen& puck : pucks)
        brightest = std::max(brightest, puck.shade);
    std::vector<double> result;
    for (const Seen& puck : pucks)
        result.push_back(brightest > 0.0 ? 100.0 * puck.shade / brightest : 0.0);
    return result;
}
