#include "engine/grid_geometry.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "engine/control_point.h"
#include "engine/weight_tables.h"

namespace plexor {

GridGeometry gridGeometryFor(std::int32_t width, std::int32_t height, std::int32_t step)
{
    assert(step >= 1 && width >= 0 && height >= 0);
    GridGeometry g;
    g.step = step;
    g.pointCols = width / step + 1;
    g.pointRows = height / step + 1;
    g.cellCols = g.pointCols - 1;
    g.cellRows = g.pointRows - 1;
    g.cellCount = g.cellCols * g.cellRows;
    g.marginX = (width - g.cellCols * step) / 2;
    g.marginY = (height - g.cellRows * step) / 2;
    return g;
}

std::size_t cellsAround(const GridGeometry& grid, std::int32_t c, std::int32_t r, CellRef (&cells)[16]) noexcept
{
    std::size_t count = 0;
    for (std::int32_t dr = -2; dr <= 1; ++dr)
        for (std::int32_t dc = -2; dc <= 1; ++dc) {
            const std::int32_t col = c + dc;
            const std::int32_t row = r + dr;
            if (col < 0 || col >= grid.cellCols || row < 0 || row >= grid.cellRows) continue;
            cells[count++] = CellRef{col, row};
        }
    return count;
}

std::vector<CellRef> cellsAroundPoints(const GridGeometry& grid, std::span<const std::int32_t> points)
{
    std::vector<CellRef> cells;
    cells.reserve(points.size() * 16);
    for (const std::int32_t i : points) {
        CellRef around[16];
        const std::size_t count = cellsAround(grid, i % grid.pointCols, i / grid.pointCols, around);
        cells.insert(cells.end(), around, around + count);
    }
    const auto rowOrder = [](CellRef a, CellRef b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
    std::sort(cells.begin(), cells.end(), rowOrder);
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

std::uint64_t gridBytes(const GridGeometry& grid)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t points = grid.pointCount() * (sizeof(ControlPoint) + 1);
    const std::uint64_t tables = weightTableBytes(grid.step);
    return tables > kMax - points ? kMax : tables + points;
}

} // namespace plexor
