#pragma once

// The kernels for the commonest case: a run of pixels of one row of a
// triangle in a picture of 8-bit colours without alpha, every tap of every
// sub-sample inside the picture with room for a 16-byte read from each
// row's first tap (6 pixels). One per instruction set, each in its own
// file; the portable one runs on any x86-64. All give the same bits as the
// plain sampler: their sums are exact in 32 bits, only the order differs.

#include <cstdint>

#include "engine/subsample_layout.h"

namespace plexor {

// Up to kMaxOpaqueRuns runs of one triangle, each a row's pixels from
// work + 3 * at[i] on, count[i] of them, the first sampled at (u[i], v[i])
// and each next one (uAcross, vAcross) further.
inline constexpr int kMaxOpaqueRuns = 32;
struct OpaqueRuns {
    const std::uint8_t* source;
    std::uint8_t* work;
    std::int64_t width;
    const SubsampleLayout* layout;
    std::int64_t uAcross, vAcross;
    std::int32_t runs;
    std::int32_t count[kMaxOpaqueRuns];
    std::int64_t at[kMaxOpaqueRuns];
    std::int64_t u[kMaxOpaqueRuns], v[kMaxOpaqueRuns];
};

using OpaqueRunKernel = void (*)(const OpaqueRuns& runs) noexcept;
void shadeOpaqueRunsPortable(const OpaqueRuns& runs) noexcept;
void shadeOpaqueRunsAvx2(const OpaqueRuns& runs) noexcept;

} // namespace plexor
