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

std::uint64_t GridBytes(const GridGeometry& grid)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t points = grid.PointCount() * (sizeof(TControlPoint) + 1);
    const std::uint64_t tables = WeightTableBytes(grid.StepX);
    return tables > kMax - points ? kMax : tables + points;
}

} // namespace plexor
