#include "engine/control_grid.h"

#include <cassert>

namespace plexor {

void ControlGrid::lay(std::int32_t step, std::int32_t width, std::int32_t height)
{
    assert(step >= 1);
    points_.clear();
    points_.shrink_to_fit();
    const GridGeometry before = shape_;
    shape_ = gridGeometryFor(width, height, step);
    points_ = std::vector<ControlPoint>(static_cast<std::size_t>(shape_.pointCount()));
    reset();
    if (shape_.pointCols != before.pointCols || shape_.pointRows != before.pointRows) selection_.reset(points_.size());
    tables_.build(step);
}

void ControlGrid::reset() noexcept
{
    for (std::int32_t r = 0; r < shape_.pointRows; ++r) {
        for (std::int32_t c = 0; c < shape_.pointCols; ++c) {
            ControlPoint& p = points_[index(c, r)];
            p.x = shape_.marginX + c * shape_.step;
            p.y = shape_.marginY + r * shape_.step;
            p.dx = 0;
            p.dy = 0;
            p.picked = 0;
        }
    }
}

void ControlGrid::drop()
{
    points_.clear();
    points_.shrink_to_fit();
    shape_ = GridGeometry{.step = shape_.step};
    tables_.build(0);
    selection_.reset(0);
}

void ControlGrid::displace(std::size_t i, std::int32_t dx, std::int32_t dy) noexcept
{
    points_[i].dx = dx;
    points_[i].dy = dy;
}

GridSnapshot ControlGrid::snapshot() const
{
    GridSnapshot s;
    s.step = shape_.step;
    s.resampling = resampling_;
    s.exists = exists();
    s.dx.reserve(points_.size());
    s.dy.reserve(points_.size());
    for (const ControlPoint& p : points_) {
        s.dx.push_back(p.dx);
        s.dy.push_back(p.dy);
    }
    return s;
}

void ControlGrid::restore(const GridSnapshot& snapshot, std::int32_t width, std::int32_t height)
{
    resampling_ = snapshot.resampling;
    if (!snapshot.exists) {
        shape_.step = snapshot.step;
        drop();
        return;
    }
    lay(snapshot.step, width, height);
    assert(snapshot.dx.size() == points_.size());
    for (std::size_t i = 0; i < points_.size(); ++i) displace(i, snapshot.dx[i], snapshot.dy[i]);
}

} // namespace plexor
