#pragma once

#include <cstdint>
#include <vector>

#include "engine/resampling.h"

namespace plexor {

// The grid as an edit leaves it, to lay it again: the step, how its cells
// are rendered, and whether a grid exists with the displacement of each of
// its points, row by row. The positions follow from the picture and the step.
struct GridSnapshot {
    std::int32_t step = 0;
    Resampling resampling = Resampling::Exact;
    bool exists = false;
    std::vector<std::int32_t> dx;
    std::vector<std::int32_t> dy;

    std::size_t bytes() const noexcept { return (dx.capacity() + dy.capacity()) * sizeof(std::int32_t); }
    bool operator==(const GridSnapshot&) const = default;
};

} // namespace plexor
