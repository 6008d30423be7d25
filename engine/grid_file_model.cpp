// A grid file against the model: the grid it holds, whether a file suits
// its picture, and laying a file's grid over it.

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <tuple>

#include "engine/grid_file.h"

namespace plexor {
namespace {

std::string PointName(const GridFilePoint& p)
{
    return "point " + std::to_string(p.Col) + " " + std::to_string(p.Row);
}

} // namespace

GridFile GridFileOf(const DeformModel& m)
{
    assert(m.ImageLoaded && m.GridExists());
    GridFile file;
    file.Width = m.ImageWidth;
    file.Height = m.ImageHeight;
    file.Step = m.Grid().StepX;
    for (std::int32_t r = 0; r < m.PointRows(); ++r)
        for (std::int32_t c = 0; c < m.PointCols(); ++c) {
            const TControlPoint& p = m.Point(c, r);
            if (p.DX != 0 || p.DY != 0) file.Points.push_back(GridFilePoint{c, r, p.DX, p.DY, 0});
        }
    return file;
}

std::optional<GridFileError> CheckGridFile(const GridFile& file, std::int32_t width, std::int32_t height)
{
    if (file.Width != width || file.Height != height)
        return GridFileError{file.SizeLine, "the grid was made on a picture of " + std::to_string(file.Width) + " x " +
                                                std::to_string(file.Height) + " pixels, and this one is " +
                                                std::to_string(width) + " x " + std::to_string(height)};
    const GridGeometry grid = GridGeometryFor(width, height, file.Step, file.Step);
    for (const GridFilePoint& p : file.Points) {
        const auto refuse = [&p](const std::string& reason) { return GridFileError{p.Line, reason}; };
        if (p.Col < 0 || p.Col >= grid.PointCols || p.Row < 0 || p.Row >= grid.PointRows)
            return refuse(PointName(p) + " lies outside the grid of " + std::to_string(grid.PointCols) + " x " +
                          std::to_string(grid.PointRows) + " points");
        if (p.Col == 0 || p.Col == grid.PointCols - 1 || p.Row == 0 || p.Row == grid.PointRows - 1)
            return refuse(PointName(p) + " lies on the grid's outer ring, whose points do not move");
        if (std::abs(std::int64_t{p.DX}) >= file.Step || std::abs(std::int64_t{p.DY}) >= file.Step)
            return refuse(PointName(p) + " moves a whole step (" + std::to_string(file.Step) +
                          ") or more: a point moves less than a step each way");
        // An interior point moved less than a step stays inside the picture:
        // the outer ring lies at most a margin from its edges.
    }
    // Twice-listed points, found in the points' own order; the later line is
    // the one at fault.
    std::vector<const GridFilePoint*> sorted;
    sorted.reserve(file.Points.size());
    for (const GridFilePoint& p : file.Points) sorted.push_back(&p);
    std::sort(sorted.begin(), sorted.end(), [](const GridFilePoint* a, const GridFilePoint* b) {
        return std::tie(a->Row, a->Col, a->Line) < std::tie(b->Row, b->Col, b->Line);
    });
    const GridFilePoint* twice = nullptr;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i]->Col == sorted[i - 1]->Col && sorted[i]->Row == sorted[i - 1]->Row &&
            (twice == nullptr || sorted[i]->Line < twice->Line))
            twice = sorted[i];
    if (twice != nullptr) return GridFileError{twice->Line, PointName(*twice) + " is listed twice"};
    return std::nullopt;
}

void LayGridFile(DeformModel& m, const GridFile& file)
{
    assert(m.ImageLoaded && !CheckGridFile(file, m.ImageWidth, m.ImageHeight));
    WorkerHold hold(m.Gate);
    m.LayGrid(file.Step);
    for (const GridFilePoint& p : file.Points) {
        TControlPoint& point = m.Point(p.Col, p.Row);
        point.DX = p.DX;
        point.DY = p.DY;
    }
    m.Changes.MarkAll();
}

std::vector<TCellRef> DisplacedCells(const DeformModel& m)
{
    std::vector<std::uint8_t> wanted(static_cast<std::size_t>(m.CellCount()), 0);
    for (std::int32_t r = 0; r < m.PointRows(); ++r)
        for (std::int32_t c = 0; c < m.PointCols(); ++c) {
            const TControlPoint& p = m.Point(c, r);
            if (p.DX == 0 && p.DY == 0) continue;
            TCellRef around[16];
            const std::size_t count = CellsAround(m.Grid(), c, r, around);
            for (std::size_t i = 0; i < count; ++i) wanted[CellIndex(m.CellCols(), around[i])] = 1;
        }
    std::vector<TCellRef> cells;
    for (std::int32_t r = 0; r < m.CellRows(); ++r)
        for (std::int32_t c = 0; c < m.CellCols(); ++c)
            if (wanted[CellIndex(m.CellCols(), TCellRef{c, r})] != 0) cells.push_back(TCellRef{c, r});
    return cells;
}

} // namespace plexor
