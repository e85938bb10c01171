#pragma once

#include <cstdint>
#include <vector>

// Plans the scissor boxes for drawing only part of a sprite: given a grid of
// cells over the window, those that must be drawn marked, it chooses boxes
// that hold every marked cell and cost the least to draw, counting each
// pixel filled plus a price for every extra box (each box is one more draw).
// Tested through the sprite's pixel test (SpriteTest.cpp,
// DrawingOnlyWhereAPictureShowsChangesNoPixel), which draws with its boxes.
class BoxPlan
{
public:
    // The most columns a grid may have: one bit per column of a row.
    static constexpr int MAX_COLUMNS = 64;
    // What one more box costs the renderer, as many pixels as it could have
    // filled in the time: boxes are joined where that is cheaper.
    static constexpr long long PIXELS_PER_DRAW = 2000;

    // A rectangle of window pixels, x and y from the bottom-left corner.
    struct Box
    {
        int x;
        int y;
        int width;
        int height;
    };

    // marked[r] holds bit c when cell c of row r must be drawn, for rows
    // 0 .. rows-1 and columns 0 .. columns-1 (at most MAX_COLUMNS). Column c
    // spans window x from columnX[c] to columnX[c + 1] and row r window y
    // from rowY[r] to rowY[r + 1], either way round. The boxes, disjoint,
    // replace the contents of boxes.
    static void plan(const std::uint64_t* marked, int rows, int columns, const int* columnX,
                     const int* rowY, std::vector<Box>& boxes);
};
