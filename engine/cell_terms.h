#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/grid_sampling.h"

namespace plexor {

// The coordinate each of a cell's 16 neighbouring points adds, entry 4k + l
// for the point in point row r + k - 1 and point column c + l - 1. The grid
// is surrounded by one ring of virtual points: left of the first column x is
// 0 (the term adds nothing), right of the last x is the picture's width,
// above the first row y is 0, below the last y is its height; in its other coordinate
// a virtual point follows the nearest real point.
struct CellTerms {
    std::int64_t x[16];
    std::int64_t y[16];
};

inline CellTerms gatherCellTerms(const GridSampling& g, std::int64_t width, std::int64_t height, std::int32_t c,
                                 std::int32_t r)
{
    CellTerms terms;
    for (std::int32_t k = 0; k < 4; ++k) {
        for (std::int32_t l = 0; l < 4; ++l) {
            const std::int32_t pr = r + k - 1;
            const std::int32_t pc = c + l - 1;
            const ControlPoint& z =
                g.point(std::clamp(pc, 0, g.shape.pointCols - 1), std::clamp(pr, 0, g.shape.pointRows - 1));
            std::int64_t x = 0;
            if (pc >= g.shape.pointCols)
                x = width;
            else if (pc >= 0)
                x = std::int64_t{z.x} + z.dx;
            std::int64_t y = 0;
            if (pr >= g.shape.pointRows)
                y = height;
            else if (pr >= 0)
                y = std::int64_t{z.y} + z.dy;
            terms.x[4 * k + l] = x;
            terms.y[4 * k + l] = y;
        }
    }
    return terms;
}

} // namespace plexor
