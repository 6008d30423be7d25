#pragma once

// The model the benchmarks work on: a 4096 x 4096 picture of random pixels
// as Open leaves it, a grid at step 48 as the grid command lays it, and the
// interior points displaced at random within the limits a drag keeps.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

#include "engine/deform_model.h"
#include "tests/support/model_setup.h"

namespace plexor {

inline constexpr std::int32_t kBenchSide = 4096;

// A width x height picture of random pixels in sourceImage, from `rng`;
// nothing when its buffers cannot be had.
inline std::unique_ptr<DeformModel> randomPictureModel(std::int32_t width, std::int32_t height, std::mt19937& rng)
{
    auto m = std::make_unique<DeformModel>();
    if (!m->allocateBuffers(width, height)) return nullptr;
    for (std::size_t i = 0; i < m->sourceImage().size(); ++i) m->sourceImage()[i] = static_cast<std::uint8_t>(rng());
    return m;
}

inline std::unique_ptr<DeformModel> draggedBenchModel(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    auto m = randomPictureModel(kBenchSide, kBenchSide, rng);
    if (!m) return nullptr;
    m->copyPixels(m->sourceImage(), m->viewImage());
    m->layGrid(48);
    std::uniform_int_distribution<std::int32_t> d(-47, 47);
    for (std::int32_t r = 1; r + 1 < m->grid().pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m->grid().pointCols; ++c) {
            ControlPoint& p = m->point(c, r);
            p.dx = std::clamp(p.x + d(rng), 0, m->imageWidth() - 1) - p.x;
            p.dy = std::clamp(p.y + d(rng), 0, m->imageHeight() - 1) - p.y;
        }
    return m;
}

} // namespace plexor
