#include "engine/grid_geometry.h"

#include <cassert>
#include <limits>

#include "engine/control_point.h"
#include "engine/weight_tables.h"

namespace plexor {

GridGeometry GridGeometryFor(std::int32_t width, std::int32_t height, std::int32_t stepX, std::int32_t stepY)
{
    assert(stepX >= 1 && stepY >= 1 && width >= 0 && height >= 0);
    GridGeometry g;
    g.StepX = stepX;
    g.StepY = stepY;
    g.PointCols = width / stepX + 1;
    g.PointRows = height / stepY + 1;
    g.CellCols = g.PointCols - 1;
    g.CellRows = g.PointRows - 1;
    g.CellCount = g.CellCols * g.CellRows;
    g.MarginX = (width - g.CellCols * stepX) / 2;
    g.MarginY = (height - g.CellRows * stepY) / 2;
    return g;
}

std::size_t CellsAround(const GridGeometry& grid, std::int32_t c, std::int32_t r, TCellRef (&cells)[16]) noexcept
{
    std::size_t count = 0;
    for (std::int32_t dr = -2; dr <= 1; ++dr)
        for (std::int32_t dc = -2; dc <= 1; ++dc) {
            const std::int32_t col = c + dc;
            const std::int32_t row = r + dr;
            if (col < 0 || col >= grid.CellCols || row < 0 || row >= grid.CellRows) continue;
            cells[count++] = TCellRef{col, row};
        }
    return count;
}

std::uint64_t GridBytes(const GridGeometry& grid)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t points = grid.PointCount() * (sizeof(TControlPoint) + 1);
    const std::uint64_t tables = WeightTableBytes(grid.StepX);
    return tables > kMax - points ? kMax : tables + points;
}

} // namespace plexor
