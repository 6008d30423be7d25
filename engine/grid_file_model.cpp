// A grid file against the model: the passes it holds, whether a file suits
// its picture, and laying a file's passes over it.

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <tuple>

#include "engine/grid_file.h"
#include "engine/grid_laying.h"

namespace plexor {
namespace {

std::string pointName(const GridFilePoint& p)
{
    return "point " + std::to_string(p.col) + " " + std::to_string(p.row);
}

// The points of one pass against the grid of its step over a width x height
// picture.
std::optional<GridFileError> checkGridPass(const GridPass& pass, std::int32_t width, std::int32_t height)
{
    const GridGeometry grid = gridGeometryFor(width, height, pass.step);
    for (const GridFilePoint& p : pass.points) {
        const auto refuse = [&p](const std::string& reason) { return GridFileError{p.line, reason}; };
        if (p.col < 0 || p.col >= grid.pointCols || p.row < 0 || p.row >= grid.pointRows)
            return refuse(pointName(p) + " lies outside the grid of " + std::to_string(grid.pointCols) + " x " +
                          std::to_string(grid.pointRows) + " points");
        if (p.col == 0 || p.col == grid.pointCols - 1 || p.row == 0 || p.row == grid.pointRows - 1)
            return refuse(pointName(p) + " lies on the grid's outer ring, whose points do not move");
        if (std::abs(std::int64_t{p.dx}) >= pass.step || std::abs(std::int64_t{p.dy}) >= pass.step)
            return refuse(pointName(p) + " moves a whole step (" + std::to_string(pass.step) +
                          ") or more: a point moves less than a step each way");
        // An interior point moved less than a step stays inside the picture:
        // the outer ring lies at most a margin from its edges.
    }
    // Twice-listed points, found in the points' own order; the later line is
    // the one at fault.
    std::vector<const GridFilePoint*> sorted;
    sorted.reserve(pass.points.size());
    for (const GridFilePoint& p : pass.points) sorted.push_back(&p);
    std::sort(sorted.begin(), sorted.end(), [](const GridFilePoint* a, const GridFilePoint* b) {
        return std::tie(a->row, a->col, a->line) < std::tie(b->row, b->col, b->line);
    });
    const GridFilePoint* twice = nullptr;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i]->col == sorted[i - 1]->col && sorted[i]->row == sorted[i - 1]->row &&
            (twice == nullptr || sorted[i]->line < twice->line))
            twice = sorted[i];
    if (twice != nullptr) return GridFileError{twice->line, pointName(*twice) + " is listed twice"};
    return std::nullopt;
}

} // namespace

GridPass gridPassOf(const ControlGrid& grid)
{
    assert(grid.exists());
    GridPass pass;
    pass.step = grid.step();
    for (std::int32_t r = 0; r < grid.shape().pointRows; ++r)
        for (std::int32_t c = 0; c < grid.shape().pointCols; ++c) {
            const ControlPoint& p = grid.point(c, r);
            if (p.dx != 0 || p.dy != 0) pass.points.push_back(GridFilePoint{c, r, p.dx, p.dy, 0});
        }
    return pass;
}

GridFile gridFileOf(const ControlGrid& grid, std::int32_t width, std::int32_t height)
{
    GridFile file;
    file.width = width;
    file.height = height;
    file.resampling = grid.resampling();
    file.passes = grid.earlierPasses();
    file.passes.push_back(gridPassOf(grid));
    return file;
}

std::optional<GridFileError> checkGridFile(const GridFile& file, std::int32_t width, std::int32_t height)
{
    if (file.width != width || file.height != height)
        return GridFileError{file.sizeLine, "the grid was made on a picture of " + std::to_string(file.width) + " x " +
                                                std::to_string(file.height) + " pixels, and this one is " +
                                                std::to_string(width) + " x " + std::to_string(height)};
    for (const GridPass& pass : file.passes)
        if (std::optional<GridFileError> error = checkGridPass(pass, width, height)) return error;
    return std::nullopt;
}

void layGridPass(ControlGrid& grid, PictureBuffers& picture, CellWork& work, const GridPass& pass)
{
    layGrid(grid, picture, work, pass.step);
    for (const GridFilePoint& p : pass.points) grid.displace(grid.index(p.col, p.row), p.dx, p.dy);
}

std::optional<MemoryShortfall> layGridFile(ControlGrid& grid, PictureBuffers& picture, CellWork& work,
                                           const GridFile& file, std::uint64_t available,
                                           const std::function<void(std::span<const CellRef> batch, bool last)>& deform)
{
    assert(picture.hasPicture() && !checkGridFile(file, picture.width(), picture.height()) && !file.passes.empty());
    // The picture as read is kept before anything changes, so that no pass
    // after the first can fail.
    if (file.passes.size() > 1)
        if (const std::optional<MemoryShortfall> missing = picture.keepOpened(available)) return missing;
    picture.startFromOpened();
    grid.setResampling(file.resampling);
    for (std::size_t i = 0; i < file.passes.size(); ++i) {
        if (i > 0) picture.beginPassOverResult();
        layGridPass(grid, picture, work, file.passes[i]);
        const std::vector<CellRef> cells = displacedCells(grid);
        deform(cells, i + 1 == file.passes.size());
    }
    grid.setEarlierPasses(std::vector<GridPass>(file.passes.begin(), file.passes.end() - 1));
    return std::nullopt;
}

std::vector<CellRef> displacedCells(const ControlGrid& grid)
{
    const GridGeometry& shape = grid.shape();
    std::vector<std::uint8_t> wanted(static_cast<std::size_t>(shape.cellCount), 0);
    for (std::int32_t r = 0; r < shape.pointRows; ++r)
        for (std::int32_t c = 0; c < shape.pointCols; ++c) {
            const ControlPoint& p = grid.point(c, r);
            if (p.dx == 0 && p.dy == 0) continue;
            CellRef around[16];
            const std::size_t count = cellsAround(shape, c, r, around);
            for (std::size_t i = 0; i < count; ++i) wanted[cellIndex(shape.cellCols, around[i])] = 1;
        }
    std::vector<CellRef> cells;
    for (std::int32_t r = 0; r < shape.cellRows; ++r)
        for (std::int32_t c = 0; c < shape.cellCols; ++c)
            if (wanted[cellIndex(shape.cellCols, CellRef{c, r})] != 0) cells.push_back(CellRef{c, r});
    return cells;
}

} // namespace plexor
