#pragma once

#include <cstdint>
#include <vector>

namespace plexor {

// The grid as an edit leaves it, to lay it again: the steps, and whether a
// grid exists with the displacement of each of its points, row by row. The
// positions follow from the picture and the steps.
struct GridSnapshot {
    std::int32_t StepX = 48;
    std::int32_t StepY = 48;
    bool Exists = false;
    std::vector<std::int32_t> DX;
    std::vector<std::int32_t> DY;

    std::size_t Bytes() const noexcept { return (DX.capacity() + DY.capacity()) * sizeof(std::int32_t); }
    bool operator==(const GridSnapshot&) const = default;
};

} // namespace plexor
