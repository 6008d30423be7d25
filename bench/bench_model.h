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

// A width x height picture of random pixels in SourceImage, from `rng`;
// nothing when its buffers cannot be had.
inline std::unique_ptr<DeformModel> RandomPictureModel(std::int32_t width, std::int32_t height, std::mt19937& rng)
{
    auto m = std::make_unique<DeformModel>();
    if (!m->AllocateBuffers(width, height)) return nullptr;
    for (std::size_t i = 0; i < m->SourceImage.size(); ++i) m->SourceImage[i] = static_cast<std::uint8_t>(rng());
    return m;
}

inline std::unique_ptr<DeformModel> DraggedBenchModel(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    auto m = RandomPictureModel(kBenchSide, kBenchSide, rng);
    if (!m) return nullptr;
    m->CopyPixels(m->SourceImage, m->ViewImage);
    m->LayGrid(48);
    std::uniform_int_distribution<std::int32_t> d(-47, 47);
    for (std::int32_t r = 1; r + 1 < m->PointRows(); ++r)
        for (std::int32_t c = 1; c + 1 < m->PointCols(); ++c) {
            TControlPoint& p = m->Point(c, r);
            p.DX = std::clamp(p.X + d(rng), 0, m->ImageWidth - 1) - p.X;
            p.DY = std::clamp(p.Y + d(rng), 0, m->ImageHeight - 1) - p.Y;
        }
    return m;
}

} // namespace plexor
