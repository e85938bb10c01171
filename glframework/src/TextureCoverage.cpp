#include "glframework/TextureCoverage.h"

#include "glframework/BoxPlan.h"

#include <algorithm>
#include <cmath>

namespace
{
// The window pixel boundary at coordinate w: pixels whose centres lie at or
// beyond w start here. Neighbouring boxes share boundaries computed by the
// same call, so they neither overlap nor leave a gap.
int boundary(float w)
{
    return static_cast<int>(std::ceil(w - 0.5f));
}

std::uint64_t widen(std::uint64_t cells)
{
    return cells | (cells << 1) | (cells >> 1);
}
} // namespace

TextureCoverage::TextureCoverage() : known(false), opaque(false), emptyCells(false), width(0), height(0), rows{} {}

TextureCoverage TextureCoverage::measure(const std::uint8_t* alpha, int width, int height, int stride)
{
    TextureCoverage coverage;
    if (alpha == nullptr || width <= 0 || height <= 0 || stride <= 0)
        return coverage;
    coverage.known = true;
    coverage.opaque = true;
    coverage.width = width;
    coverage.height = height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(stride);
    for (int y = 0; y < height; ++y)
    {
        const int row = static_cast<int>(static_cast<long long>(y) * CELLS / height);
        const std::uint8_t* line = alpha + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x)
        {
            const std::uint8_t value = line[static_cast<std::size_t>(x) * static_cast<std::size_t>(stride)];
            if (value != 255)
                coverage.opaque = false;
            if (value != 0)
                coverage.rows[row] |= std::uint64_t{1} << (static_cast<long long>(x) * CELLS / width);
        }
    }
    coverage.emptyCells = std::any_of(coverage.rows, coverage.rows + CELLS,
                                      [](std::uint64_t row) { return row != ~std::uint64_t{0}; });
    return coverage;
}

TextureCoverage TextureCoverage::opaquePicture(int width, int height)
{
    TextureCoverage coverage;
    if (width <= 0 || height <= 0)
        return coverage;
    coverage.known = true;
    coverage.opaque = true;
    coverage.width = width;
    coverage.height = height;
    std::fill(coverage.rows, coverage.rows + CELLS, ~std::uint64_t{0});
    return coverage;
}

bool TextureCoverage::isKnown() const
{
    return known;
}

bool TextureCoverage::isOpaque() const
{
    return known && opaque;
}

bool TextureCoverage::hasEmptyCells() const
{
    return emptyCells;
}

const std::vector<TextureCoverage::Box>* TextureCoverage::windowBoxes(float scaleX, float offsetX, float scaleY,
                                                                      float offsetY) const
{
    if (!cellsAreCoarseEnough(scaleX, scaleY))
        return nullptr;
    // A sprite that stays where it is asks for the same boxes every frame.
    if (!(cachedFor[0] == scaleX && cachedFor[1] == offsetX && cachedFor[2] == scaleY &&
          cachedFor[3] == offsetY))
    {
        planBoxes(scaleX, offsetX, scaleY, offsetY);
        cachedFor[0] = scaleX;
        cachedFor[1] = offsetX;
        cachedFor[2] = scaleY;
        cachedFor[3] = offsetY;
    }
    return &cachedBoxes;
}

bool TextureCoverage::cellsAreCoarseEnough(float scaleX, float scaleY) const
{
    if (!known)
        return false;
    // A cell must reach past the filter's two texels and half a pixel of
    // rounding on either side.
    const auto fine = [](int texels, float pixels) {
        const float texelsPerPixel = static_cast<float>(texels) / std::fabs(pixels);
        return static_cast<float>(texels) / CELLS >= 2.0f + texelsPerPixel;
    };
    return fine(width, scaleX) && fine(height, scaleY);
}

void TextureCoverage::planBoxes(float scaleX, float offsetX, float scaleY, float offsetY) const
{
    const float cell = 1.0f / CELLS;
    int columnX[CELLS + 1];
    int rowY[CELLS + 1];
    for (int i = 0; i <= CELLS; ++i)
    {
        columnX[i] = boundary(scaleX * (static_cast<float>(i) * cell - 0.5f) + offsetX);
        rowY[i] = boundary(scaleY * (0.5f - static_cast<float>(i) * cell) + offsetY);
    }
    // A cell next to a marked one, in any direction, is marked too.
    std::uint64_t marked[CELLS];
    for (int r = 0; r < CELLS; ++r)
    {
        marked[r] = widen(rows[r]);
        if (r > 0)
            marked[r] |= widen(rows[r - 1]);
        if (r + 1 < CELLS)
            marked[r] |= widen(rows[r + 1]);
    }

    BoxPlan::plan(marked, CELLS, CELLS, columnX, rowY, cachedBoxes);
}
