#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cell_ref.h"

namespace plexor {

// The byte of cell (col, row) in a grid `cellCols` cells wide.
inline std::size_t CellIndex(std::int32_t cellCols, TCellRef cell) noexcept
{
    return static_cast<std::size_t>(cell.Col) + static_cast<std::size_t>(cell.Row) * static_cast<std::size_t>(cellCols);
}

// The shape of a regular grid of control points laid over a picture: how
// many points and cells, and where the first point column and row lie. Point
// (c, r) sits at (MarginX + c * StepX, MarginY + r * StepY); cell (c, r) is
// the square whose top-left corner is point (c, r).
struct GridGeometry {
    std::int32_t StepX = 0, StepY = 0;         // pixels between neighbouring points
    std::int32_t PointCols = 0, PointRows = 0; // points across and down
    std::int32_t CellCols = 0, CellRows = 0;   // one fewer each
    std::int32_t CellCount = 0;
    std::int32_t MarginX = 0, MarginY = 0; // the x of the first point column, the y of the first row

    // The x of the last point column and the y of the last point row.
    std::int32_t Right() const noexcept { return MarginX + CellCols * StepX; }
    std::int32_t Bottom() const noexcept { return MarginY + CellRows * StepY; }
    std::uint64_t PointCount() const noexcept
    {
        return static_cast<std::uint64_t>(PointCols) * static_cast<std::uint64_t>(PointRows);
    }
};

// The grid at steps stepX, stepY (both at least 1) over a width x height
// picture: one point column more than whole steps fit across, one row more
// than fit down, and the remainder halved (rounding down) into the margins.
GridGeometry GridGeometryFor(std::int32_t width, std::int32_t height, std::int32_t stepX, std::int32_t stepY);

// The cells whose 4 x 4 points include point (c, r), top row first, each
// row left to right: at most 16, into `cells`; returns how many.
std::size_t CellsAround(const GridGeometry& grid, std::int32_t c, std::int32_t r, TCellRef (&cells)[16]) noexcept;

// Bytes a grid of this shape takes with everything built for it: its points,
// a queued byte per cell and the weight tables for its step. Saturates
// rather than wraps.
std::uint64_t GridBytes(const GridGeometry& grid);

} // namespace plexor
