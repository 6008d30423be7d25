#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/control_point.h"
#include "engine/grid_geometry.h"
#include "engine/grid_pass.h"
#include "engine/grid_sampling.h"
#include "engine/grid_snapshot.h"
#include "engine/point_selection.h"
#include "engine/weight_tables.h"

namespace plexor {

// The control grid laid over the picture: its step (the present grid's, and
// the next one's until another is chosen), its shape, its points row by row
// (point (c, r) at index(c, r)), the weight tables of its step, the points
// chosen to move together, and the passes of the deformation laid before
// this one.
//
// It keeps itself consistent: the points, the tables and the choice belong
// to the shape, and exist exactly while a grid does. It is laid, restored
// and dropped on the UI thread while the worker is held; a drag moves points
// while the worker reads them, which the points' relaxed fields allow.
class ControlGrid {
public:
    static constexpr std::int32_t kDefaultStep = 48;

    std::int32_t step() const noexcept { return shape_.step; }
    const GridGeometry& shape() const noexcept { return shape_; }
    bool exists() const noexcept { return !points_.empty(); }
    std::span<const ControlPoint> points() const noexcept { return points_; }
    std::size_t index(std::int32_t c, std::int32_t r) const noexcept
    {
        return static_cast<std::size_t>(c) + static_cast<std::size_t>(r) * static_cast<std::size_t>(shape_.pointCols);
    }
    const ControlPoint& point(std::int32_t c, std::int32_t r) const noexcept { return points_[index(c, r)]; }
    const WeightTables& tables() const noexcept { return tables_; }
    // What a cell's deformation reads of the grid.
    GridSampling sampling() const noexcept { return {shape_, points_, tables_, resampling_}; }
    // How the cells are rendered; a choice of the deformation that outlives
    // the grids laid and dropped. Set while the worker is held.
    Resampling resampling() const noexcept { return resampling_; }
    void setResampling(Resampling resampling) noexcept { resampling_ = resampling; }

    // A new grid at `step` (at least 1) over a width x height picture, its
    // points at rest, with the tables of its step. The choice of points
    // outlives a grid of the same shape laid again.
    void lay(std::int32_t step, std::int32_t width, std::int32_t height);
    void reset() noexcept; // every point back at rest, not picked
    void drop();           // no grid, nothing built for one; the step stays
    void displace(std::size_t i, std::int32_t dx, std::int32_t dy) noexcept;
    void setPicked(std::size_t i, bool picked) noexcept
    {
        points_[i].picked = static_cast<std::uint8_t>(picked ? 1 : 0);
    }

    // The step and the displacements as they stand, and the grid of a
    // snapshot laid again over a width x height picture.
    GridSnapshot snapshot() const;
    void restore(const GridSnapshot& snapshot, std::int32_t width, std::int32_t height);

    PointSelection& selection() noexcept { return selection_; }
    const PointSelection& selection() const noexcept { return selection_; }
    const std::vector<GridPass>& earlierPasses() const noexcept { return earlier_; }
    void setEarlierPasses(std::vector<GridPass> passes) { earlier_ = std::move(passes); }

private:
    GridGeometry shape_{.step = kDefaultStep};
    Resampling resampling_ = Resampling::Exact;
    std::vector<ControlPoint> points_; // empty: no grid
    WeightTables tables_;
    PointSelection selection_;
    std::vector<GridPass> earlier_;
};

} // namespace plexor
