#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/cell_ref.h"

namespace plexor {

// The byte of cell (col, row) in a grid `cellCols` cells wide.
inline std::size_t cellIndex(std::int32_t cellCols, CellRef cell) noexcept
{
    return static_cast<std::size_t>(cell.col) + static_cast<std::size_t>(cell.row) * static_cast<std::size_t>(cellCols);
}

// The shape of a regular grid of control points laid over a picture: how
// many points and cells, and where the first point column and row lie. Point
// (c, r) sits at (marginX + c * step, marginY + r * step); cell (c, r) is
// the square whose top-left corner is point (c, r).
struct GridGeometry {
    std::int32_t step = 0;                     // pixels between neighbouring points, across and down
    std::int32_t pointCols = 0, pointRows = 0; // points across and down
    std::int32_t cellCols = 0, cellRows = 0;   // one fewer each
    std::int32_t cellCount = 0;
    std::int32_t marginX = 0, marginY = 0; // the x of the first point column, the y of the first row

    // The x of the last point column and the y of the last point row.
    std::int32_t right() const noexcept { return marginX + cellCols * step; }
    std::int32_t bottom() const noexcept { return marginY + cellRows * step; }
    std::uint64_t pointCount() const noexcept
    {
        return static_cast<std::uint64_t>(pointCols) * static_cast<std::uint64_t>(pointRows);
    }
};

// The grid at `step` (at least 1) over a width x height
// picture: one point column more than whole steps fit across, one row more
// than fit down, and the remainder halved (rounding down) into the margins.
GridGeometry gridGeometryFor(std::int32_t width, std::int32_t height, std::int32_t step);

// The cells whose 4 x 4 points include point (c, r), top row first, each
// row left to right: at most 16, into `cells`; returns how many.
std::size_t cellsAround(const GridGeometry& grid, std::int32_t c, std::int32_t r, CellRef (&cells)[16]) noexcept;

// The cells whose 4 x 4 points include one of `points` (indexes c + r *
// pointCols), each once, row by row from the top, left to right within a
// row: the batch that deforms the picture for those points, in the order a
// grid file's batch takes.
std::vector<CellRef> cellsAroundPoints(const GridGeometry& grid, std::span<const std::int32_t> points);

// Bytes a grid of this shape takes with everything built for it: its points,
// a queued byte per cell and the weight tables for its step. Saturates
// rather than wraps.
std::uint64_t gridBytes(const GridGeometry& grid);

} // namespace plexor
