#pragma once

#include <cstdint>
#include <vector>

namespace plexor {

// A displaced point of a grid: its column and row, counted from 0 at the top
// left, outer ring included, and its displacement in pixels.
struct GridFilePoint {
    std::int32_t col = 0, row = 0;
    std::int32_t dx = 0, dy = 0;
    int line = 0; // where it was read; 0 for a point not read from a file

    bool operator==(const GridFilePoint& other) const noexcept
    {
        return col == other.col && row == other.row && dx == other.dx && dy == other.dy;
    }
};

// One pass of a deformation: a grid at `step` laid over the pass's starting
// picture, and its displaced points. A deformation made coarse to fine is a
// list of passes, each laid over the result of the one before.
struct GridPass {
    std::int32_t step = 0;
    std::vector<GridFilePoint> points;
    int line = 0;     // where its "pass" line was read; 0 for a pass without one
    int stepLine = 0; // where its step was read

    bool operator==(const GridPass& other) const noexcept { return step == other.step && points == other.points; }
};

} // namespace plexor
