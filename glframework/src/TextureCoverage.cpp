#include "glframework/TextureCoverage.h"

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

TextureCoverage::TextureCoverage() : known(false), opaque(false), width(0), height(0), rows{} {}

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
    if (!known)
        return false;
    return std::any_of(rows, rows + CELLS, [](std::uint64_t row) { return row != ~std::uint64_t{0}; });
}

bool TextureCoverage::windowBoxes(float scaleX, float offsetX, float scaleY, float offsetY,
                                  std::vector<Box>& boxes) const
{
    if (!known)
    {
        boxes.clear();
        return false;
    }
    // A cell must reach past the filter's two texels and half a pixel of
    // rounding on either side.
    const auto fine = [](int texels, float pixels) {
        const float texelsPerPixel = static_cast<float>(texels) / std::fabs(pixels);
        return static_cast<float>(texels) / CELLS >= 2.0f + texelsPerPixel;
    };
    if (!fine(width, scaleX) || !fine(height, scaleY))
    {
        boxes.clear();
        return false;
    }
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
    boxes.assign(cachedBoxes.begin(), cachedBoxes.end());
    return true;
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

    // The boxes of one band of rows: one per run of marked columns, runs
    // joined across gaps that would cost less to draw than an extra box.
    struct Span
    {
        int first;
        int last;
    };
    const auto bandSpans = [&](std::uint64_t cells, int height, std::vector<Span>& spans) {
        spans.clear();
        for (int column = 0; column < CELLS;)
        {
            if ((cells >> column & 1u) == 0)
            {
                ++column;
                continue;
            }
            int last = column;
            while (last + 1 < CELLS && (cells >> (last + 1) & 1u) != 0)
                ++last;
            const long long gap =
                spans.empty() ? 0 : static_cast<long long>(std::abs(columnX[column] - columnX[spans.back().last + 1])) * height;
            if (!spans.empty() && gap < PIXELS_PER_DRAW)
                spans.back().last = last;
            else
                spans.push_back(Span{column, last});
            column = last + 1;
        }
    };
    const auto bandCost = [&](std::uint64_t cells, int height, std::vector<Span>& spans) {
        bandSpans(cells, height, spans);
        long long cost = 0;
        for (const Span& span : spans)
            cost += static_cast<long long>(std::abs(columnX[span.last + 1] - columnX[span.first])) * height +
                    PIXELS_PER_DRAW;
        return cost;
    };

    // The cheapest way to cut the rows into bands, each drawn as its boxes:
    // best[j] is the cost of rows 0..j-1, from[j] where their last band starts.
    long long best[CELLS + 1];
    int from[CELLS + 1];
    best[0] = 0;
    from[0] = 0;
    std::vector<Span> spans;
    for (int end = 1; end <= CELLS; ++end)
    {
        best[end] = -1;
        std::uint64_t cells = 0;
        for (int begin = end - 1; begin >= 0; --begin)
        {
            cells |= marked[begin];
            const int height = std::abs(rowY[end] - rowY[begin]);
            const long long cost = best[begin] + (cells == 0 ? 0 : bandCost(cells, height, spans));
            if (best[end] < 0 || cost < best[end])
            {
                best[end] = cost;
                from[end] = begin;
            }
        }
    }

    cachedBoxes.clear();
    for (int end = CELLS; end > 0; end = from[end])
    {
        const int begin = from[end];
        std::uint64_t cells = 0;
        for (int r = begin; r < end; ++r)
            cells |= marked[r];
        const int bottom = std::min(rowY[begin], rowY[end]);
        const int height = std::abs(rowY[end] - rowY[begin]);
        bandSpans(cells, height, spans);
        for (const Span& span : spans)
        {
            const int left = std::min(columnX[span.first], columnX[span.last + 1]);
            const int boxWidth = std::abs(columnX[span.last + 1] - columnX[span.first]);
            if (boxWidth > 0 && height > 0)
                cachedBoxes.push_back(Box{left, bottom, boxWidth, height});
        }
    }
}
