#include "glframework/BoxPlan.h"

#include <algorithm>
#include <cstdlib>

namespace
{
// A run of marked columns, first to last.
struct Span
{
    int first;
    int last;
};
} // namespace

void BoxPlan::plan(const std::uint64_t* marked, int rows, int columns, const int* columnX, const int* rowY,
                   std::vector<Box>& boxes)
{
    boxes.clear();
    if (rows <= 0 || columns <= 0 || columns > MAX_COLUMNS)
        return;

    // The boxes of one band of rows: one per run of marked columns, runs
    // joined across gaps that would cost less to draw than an extra box.
    const auto bandSpans = [&](std::uint64_t cells, int height, std::vector<Span>& spans) {
        spans.clear();
        for (int column = 0; column < columns;)
        {
            if ((cells >> column & 1u) == 0)
            {
                ++column;
                continue;
            }
            int last = column;
            while (last + 1 < columns && (cells >> (last + 1) & 1u) != 0)
                ++last;
            const long long gap =
                spans.empty() ? 0
                              : static_cast<long long>(std::abs(columnX[column] - columnX[spans.back().last + 1])) *
                                    height;
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
    // best[j] is the cost of rows 0 .. j-1, from[j] where their last band starts.
    std::vector<long long> best(static_cast<std::size_t>(rows) + 1, -1);
    std::vector<int> from(static_cast<std::size_t>(rows) + 1, 0);
    best[0] = 0;
    std::vector<Span> spans;
    for (int end = 1; end <= rows; ++end)
    {
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

    for (int end = rows; end > 0; end = from[end])
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
            const int width = std::abs(columnX[span.last + 1] - columnX[span.first]);
            if (width > 0 && height > 0)
                boxes.push_back(Box{left, bottom, width, height});
        }
    }
}
