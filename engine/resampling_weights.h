#pragma once

#include <cstdint>

namespace plexor {

// The filter a smooth deformation samples the source with, one axis at a
// time: four taps around the position, whose weights depend on where the
// position falls between two pixel centres (its phase) and on how many
// source pixels one destination pixel spans along the axis (its footprint).
//
// The picture is taken as the piecewise bilinear surface through values
// sharpened so that its mean over each pixel is the pixel's value; a
// destination pixel takes that surface's mean over its footprint. Along one
// axis, a box of width `footprint` over that surface gives the pixels
// weights that fall off fast beyond the two nearest on each side; the four
// taps take them, the tails folded into the outer two. A footprint of one
// pixel at phase 0 gives the pixel itself: the picture at rest reproduces
// exactly. A box of up to two pixels meets at most the four nearest pixel
// centres, so four taps serve footprints up to 2.
inline constexpr int kPhaseBits = 6;
inline constexpr int kPhases = 1 << kPhaseBits;
inline constexpr int kLevelsPerPixel = 16;
inline constexpr int kFootprintLevels = 2 * kLevelsPerPixel; // footprints 0, 1/16, ..., 2 pixels
inline constexpr int kWeightBits = 10;                       // the weights of a row of taps sum to 1 << kWeightBits

struct ResamplingWeights {
    // taps[level][phase]: the four weights for a footprint of level / 16
    // pixel (level up to kFootprintLevels) and a position phase / kPhases of a pixel past the second tap's
    // centre.
    std::int16_t taps[kFootprintLevels + 1][kPhases][4];
    // The same weights widened to 32 bits, for kernels that broadcast one.
    std::int32_t wideTaps[kFootprintLevels + 1][kPhases][4];
};

// The table, built once on first use (thread-safe) and never changed.
const ResamplingWeights& resamplingWeights() noexcept;

// The same weights computed afresh, for the table and its tests: the filter
// for a footprint `footprint` (0 to 2 pixels) at a position `phase` pixel
// past the second tap's centre, before rounding.
void exactResamplingTaps(double footprint, double phase, double (&taps)[4]) noexcept;

} // namespace plexor
