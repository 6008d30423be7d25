#pragma once

#include <span>

#include "engine/control_point.h"
#include "engine/grid_geometry.h"
#include "engine/resampling.h"
#include "engine/weight_tables.h"

namespace plexor {

// What the deformation of a cell reads of a grid: its shape, its points row
// by row, the weight tables of its step and how its cells are rendered. The
// grid's own, or its shape and tables with points held apart from it.
struct GridSampling {
    const GridGeometry& shape;
    std::span<const ControlPoint> points;
    const WeightTables& tables;
    Resampling resampling = Resampling::Exact;

    const ControlPoint& point(std::int32_t c, std::int32_t r) const noexcept
    {
        return points[static_cast<std::size_t>(c) + static_cast<std::size_t>(r) * shape.pointCols];
    }
    // A cell's samples across, less one; 0 while no tables are built.
    std::int32_t samplesPerCell() const noexcept { return tables.built() ? shape.step : 0; }
};

} // namespace plexor
