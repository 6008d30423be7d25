#include <cassert>
#include <cstring>
#include <utility>

#include "engine/deform_model.h"

namespace plexor {
namespace {

// Paints black the pixels x0 <= x < x1, y0 <= y < y1 of a buffer. A grid
// built for the picture keeps every band inside it: a margin is half of what
// the whole steps leave over, rounded down.
// (Black and transparent, in an alpha plane: what a grey picture holding
// the alpha would become.) `bytes` is the buffer's bytes a pixel.
void fillBlack(ByteBuffer& image, std::size_t bytes, std::int32_t width, [[maybe_unused]] std::int32_t height,
               std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1)
{
    assert(0 <= x0 && x0 <= x1 && x1 <= width && 0 <= y0 && y0 <= y1 && y1 <= height);
    if (x0 == x1) return;
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * bytes;
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::size_t offset =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x0)) * bytes;
        std::memset(image.data() + offset, 0, rowBytes);
    }
}

} // namespace

void DeformModel::placePoints()
{
    for (std::int32_t r = 0; r < grid_.pointRows; ++r) {
        for (std::int32_t c = 0; c < grid_.pointCols; ++c) {
            ControlPoint& p = point(c, r);
            p.x = grid_.marginX + c * grid_.step;
            p.y = grid_.marginY + r * grid_.step;
            p.dx = 0;
            p.dy = 0;
            p.picked = 0;
        }
    }
}

void DeformModel::buildGrid()
{
    WorkerHold hold(gate_);
    points_.clear();
    points_.shrink_to_fit();
    const GridGeometry before = grid_;
    grid_ = gridGeometryFor(imageWidth_, imageHeight_, grid_.step);
    points_ = std::vector<ControlPoint>(static_cast<std::size_t>(grid_.pointCount()));
    placePoints();
    // The choice of points outlives a grid of the same shape laid again.
    if (grid_.pointCols != before.pointCols || grid_.pointRows != before.pointRows) selection_.reset(points_.size());
    changes_.markAll();
}

void DeformModel::buildWeightTables()
{
    assert(grid_.step >= 1);
    WorkerHold hold(gate_);
    tables_.build(grid_.step);
    cellQueue_.reset(grid_.cellCols, grid_.cellCount);
}

void DeformModel::layGrid(std::int32_t step)
{
    assert(step >= 1);
    WorkerHold hold(gate_);
    grid_.step = step;
    restoreWorkImage();
    buildGrid();
    blackOutMargins();
    buildWeightTables();
}

void DeformModel::resetGrid()
{
    assert(gridExists());
    placePoints();
    changes_.markAll();
    // A batch in progress goes on afterwards with the zeroed displacements;
    // the hold only keeps its pixel writes apart from the restore.
    WorkerHold hold(gate_);
    restoreWorkImage();
    blackOutMargins();
}

void DeformModel::blackOutMargins()
{
    if (workImage_.empty()) return;
    WorkerHold hold(gate_);
    changes_.markAll();
    const GridGeometry& g = grid_;
    const std::int32_t w = imageWidth_;
    const std::int32_t h = imageHeight_;
    for (const auto& [image, bytes] : {std::pair{&workImage_, 3}, std::pair{&workAlpha_, 1}}) {
        if (image->empty()) continue;
        fillBlack(*image, bytes, w, h, 0, w, 0, g.marginY);
        fillBlack(*image, bytes, w, h, 0, w, g.bottom(), g.bottom() + g.marginY);
        fillBlack(*image, bytes, w, h, 0, g.marginX, g.marginY, g.bottom());
        fillBlack(*image, bytes, w, h, g.right(), g.right() + g.marginX, g.marginY, g.bottom());
    }
}

void DeformModel::dropGrid()
{
    points_.clear();
    points_.shrink_to_fit();
    grid_ = GridGeometry{.step = grid_.step};
    changes_.markAll();
    tables_.build(0);
    cellQueue_.reset(0, 0);
    selection_.reset(0);
    dragging_ = false;
}

GridSnapshot DeformModel::snapshotGrid() const
{
    GridSnapshot s;
    s.step = grid_.step;
    s.exists = gridExists();
    s.dx.reserve(points_.size());
    s.dy.reserve(points_.size());
    for (const ControlPoint& p : points_) {
        s.dx.push_back(p.dx);
        s.dy.push_back(p.dy);
    }
    return s;
}

void DeformModel::restoreGrid(const GridSnapshot& snapshot)
{
    WorkerHold hold(gate_);
    grid_.step = snapshot.step;
    if (!snapshot.exists) {
        dropGrid();
        return;
    }
    buildGrid();
    assert(snapshot.dx.size() == points_.size());
    for (std::size_t i = 0; i < points_.size(); ++i) {
        points_[i].dx = snapshot.dx[i];
        points_[i].dy = snapshot.dy[i];
    }
    buildWeightTables();
}

} // namespace plexor
