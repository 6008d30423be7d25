#pragma once

// The filter of a smooth deformation, for the engine's own files only: a
// destination pixel takes the source's colour at the positions of its
// sub-samples, each through the four-by-four taps of the resampling
// weights, averaged. Every sum is exact in integers, so the order of the
// taps does not matter to the bits.

#include <algorithm>
#include <cstdint>

#include "engine/mesh_triangle.h"
#include "engine/resampling_weights.h"
#include "engine/smooth_format.h"
#include "engine/smooth_planes.h"
#include "engine/subsample_layout.h"

namespace plexor {

inline std::int64_t floorDivide(std::int64_t a, std::int64_t b) noexcept // b > 0
{
    const std::int64_t q = a / b;
    return q - (a % b != 0 && a < 0);
}

inline void layOutSubsamples(const MeshTriangle& t, SubsampleLayout& s) noexcept
{
    const ResamplingWeights& w = resamplingWeights();
    s.tapsU = w.taps[t.levelU];
    s.tapsV = w.taps[t.levelV];
    s.wideTapsV = w.wideTaps[t.levelV];
    const std::int32_t n = t.subsamples;
    s.count = n * n;
    std::int32_t log = 0;
    while ((1 << log) < n) ++log;
    s.shift = 2 * kWeightBits + 2 * log;
    // Sub-sample (i, j) sits at (i + 1/2, j + 1/2) / n of the pixel.
    for (std::int32_t j = 0; j < n; ++j)
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int64_t across = 2 * i + 1 - n, down = 2 * j + 1 - n;
            s.offsetU[j * n + i] = floorDivide(across * t.uAcross + down * t.uDown, 2 * n);
            s.offsetV[j * n + i] = floorDivide(across * t.vAcross + down * t.vDown, 2 * n);
        }
}

inline void tapOrigin(std::int64_t position, std::int64_t& first, std::int32_t& phase) noexcept
{
    const std::int64_t t = (position - kPhaseOffset) >> kPhaseDrop;
    first = (t >> kPhaseBits) - 1;
    phase = static_cast<std::int32_t>(t & (kPhases - 1));
}

// The sums of one pixel's taps over all its sub-samples.
template <class Format>
struct PixelSums {
    std::int64_t colour[3] = {0, 0, 0};   // weight * colour
    std::int64_t alpha = 0;               // weight * alpha
    std::int64_t weighted[3] = {0, 0, 0}; // weight * alpha * colour
};

// Adds one sub-sample's taps. The plain form (kClamp) holds every tap to
// the picture on its own; the other is for positions whose taps all lie
// inside it.
template <class Format, bool kClamp>
inline void addSubsample(const SmoothPlanes& p, const SubsampleLayout& s, std::int64_t u, std::int64_t v,
                         PixelSums<Format>& sums) noexcept
{
    std::int64_t col0, row0;
    std::int32_t phaseU, phaseV;
    tapOrigin(u, col0, phaseU);
    tapOrigin(v, row0, phaseV);
    const std::int16_t* wu = s.tapsU[phaseU];
    const std::int16_t* wv = s.tapsV[phaseV];
    for (int j = 0; j < 4; ++j) {
        const std::int64_t row = kClamp ? std::clamp<std::int64_t>(row0 + j, 0, p.height - 1) : row0 + j;
        for (int i = 0; i < 4; ++i) {
            const std::int64_t col = kClamp ? std::clamp<std::int64_t>(col0 + i, 0, p.width - 1) : col0 + i;
            const std::int64_t at = row * p.width + col;
            const std::int64_t w = std::int64_t{wv[j]} * wu[i];
            if constexpr (Format::kAlpha) {
                const std::int64_t wa = w * Format::alpha(p, at);
                sums.alpha += wa;
                for (int ch = 0; ch < 3; ++ch) {
                    const std::int64_t c = Format::colour(p, 3 * at + ch);
                    sums.colour[ch] += w * c;
                    sums.weighted[ch] += wa * c;
                }
            } else {
                for (int ch = 0; ch < 3; ++ch) sums.colour[ch] += w * Format::colour(p, 3 * at + ch);
            }
        }
    }
}

// a / 2^shift rounded to the nearest, held to [0, max].
inline std::int64_t roundShifted(std::int64_t a, std::int32_t shift, std::int64_t max) noexcept
{
    return std::clamp<std::int64_t>((a + (std::int64_t{1} << (shift - 1))) >> shift, 0, max);
}

// Writes pixel `at` from its sums. With alpha, the colours are the
// alpha-weighted means, so that transparent pixels lend no colour; where
// no alpha reaches at all, the plain means.
template <class Format>
inline void writePixel(const SmoothPlanes& p, std::int64_t at, std::int32_t shift,
                       const PixelSums<Format>& sums) noexcept
{
    if constexpr (Format::kAlpha) {
        Format::writeAlpha(p, at, roundShifted(sums.alpha, shift, Format::kAlphaMax));
        for (int ch = 0; ch < 3; ++ch) {
            const std::int64_t c =
                sums.alpha > 0
                    ? std::clamp<std::int64_t>(floorDivide(2 * sums.weighted[ch] + sums.alpha, 2 * sums.alpha), 0,
                                               Format::kColourMax)
                    : roundShifted(sums.colour[ch], shift, Format::kColourMax);
            Format::writeColour(p, 3 * at + ch, c);
        }
    } else {
        for (int ch = 0; ch < 3; ++ch)
            Format::writeColour(p, 3 * at + ch, roundShifted(sums.colour[ch], shift, Format::kColourMax));
    }
}

// Shades `count` pixels of a row from pixel `at` on, the first sampled at
// (u, v) and each next one (uAcross, vAcross) further.
template <class Format, bool kClamp>
inline void shadeRun(const SmoothPlanes& p, const SubsampleLayout& s, std::int64_t at, std::int32_t count,
                     std::int64_t u, std::int64_t v, std::int64_t uAcross, std::int64_t vAcross) noexcept
{
    for (std::int32_t k = 0; k < count; ++k, ++at, u += uAcross, v += vAcross) {
        PixelSums<Format> sums;
        for (std::int32_t i = 0; i < s.count; ++i)
            addSubsample<Format, kClamp>(p, s, u + s.offsetU[i], v + s.offsetV[i], sums);
        writePixel(p, at, s.shift, sums);
    }
}

} // namespace plexor
