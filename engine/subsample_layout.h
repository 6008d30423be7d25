#pragma once

#include <cstdint>

#include "engine/resampling_weights.h"

namespace plexor {

// Source positions are fixed point with kSourceFractionBits fractional bits,
// in the picture's own coordinates: pixel u covers [u, u + 1), its centre is
// u + 1/2.
inline constexpr int kSourceFractionBits = 16;
inline constexpr std::int64_t kSourceUnit = std::int64_t{1} << kSourceFractionBits;
inline constexpr std::int32_t kMaxSubsamples = 8; // per axis, for a footprint of 16 pixels or more

// What the pixels of one triangle share: the filter rows for its footprint
// along each source axis, and the offsets of its sub-samples from a pixel's
// centre in source units.
struct SubsampleLayout {
    const std::int16_t (*tapsU)[4]; // by phase
    const std::int16_t (*tapsV)[4];
    const std::int32_t (*wideTapsV)[4]; // tapsV widened
    std::int32_t count;                 // sub-samples in all, 1 to kMaxSubsamples^2
    std::int32_t shift;                 // the weights of all of them sum to 1 << shift
    std::int64_t offsetU[kMaxSubsamples * kMaxSubsamples];
    std::int64_t offsetV[kMaxSubsamples * kMaxSubsamples];
};

// A source position's first tap column (or row) and phase: the taps are the
// pixel whose centre lies at or before the position, rounded to a phase,
// its neighbour before and two after.
inline constexpr int kPhaseDrop = kSourceFractionBits - kPhaseBits;
inline constexpr std::int64_t kPhaseOffset = kSourceUnit / 2 - (std::int64_t{1} << (kPhaseDrop - 1));

} // namespace plexor
