#pragma once

// The model the benchmarks work on: a 4096 x 4096 picture of random pixels
// as Open leaves it, a grid at step 48 as the grid command lays it, and the
// interior points displaced at random within the limits a drag keeps.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

#include "engine/picture_buffers.h"
#include "engine/system_memory.h"
#include "tests/support/model_setup.h"

namespace plexor {

inline constexpr std::int32_t kBenchSide = 4096;

// A width x height picture of random pixels, from `rng`, in every plane;
// nothing when its buffers cannot be had.
inline std::unique_ptr<test::TestModel> randomPictureModel(std::int32_t width, std::int32_t height, std::mt19937& rng)
{
    if (PictureBuffers::shortfall(width, height, false, systemAvailableMemory())) return nullptr;
    auto m = std::make_unique<test::TestModel>();
    test::loadPicture(*m, width, height, [&rng](std::int32_t, std::int32_t) {
        return test::Rgb{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                         static_cast<std::uint8_t>(rng())};
    });
    if (!m->picture.hasPicture()) return nullptr;
    return m;
}

inline std::unique_ptr<test::TestModel> draggedBenchModel(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    auto m = randomPictureModel(kBenchSide, kBenchSide, rng);
    if (!m) return nullptr;
    m->layGrid(48);
    std::uniform_int_distribution<std::int32_t> d(-47, 47);
    for (std::int32_t r = 1; r + 1 < m->grid.shape().pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m->grid.shape().pointCols; ++c) {
            const ControlPoint& p = m->grid.point(c, r);
            const std::int32_t dx = std::clamp(p.x + d(rng), 0, m->picture.width() - 1) - p.x;
            m->displace(c, r, dx, std::clamp(p.y + d(rng), 0, m->picture.height() - 1) - p.y);
        }
    return m;
}

} // namespace plexor
