#pragma once

// The chunks of samples the fast cell kernel computes at a time, and the
// kernels of each instruction set that compute them (cell_kernel.h).

#include <cstdint>

namespace plexor {

// The picture the samples land in, for the destinations the chunk kernel
// gives: its width and its capacity in pixels, exactly.
struct PixelFrame {
    double width;
    double capacity;
};

// Coordinates of samples j0 .. j0 + kWeightLanes - 1 of one sample row, and
// for each a non-zero `suspect` when one of its terms had a double sum that
// may round to another float than the extended sum; `anySuspect` when any
// has, so that a chunk without (nearly every one) is taken as it is. `dest`
// is the pixel index each lands on, as sampleDestination finds it but for
// the source: -1 where its coordinates are no pixel position or the index
// lies outside the buffer; a suspect's is that of its coordinates as they
// stand, and is found again once they are refined.
inline constexpr int kChunkLanes = 64;
struct Chunk {
    float x[kChunkLanes];
    float y[kChunkLanes];
    std::int32_t dest[kChunkLanes];
    std::uint64_t suspect[kChunkLanes];
    bool anySuspect;
};

// Fills `out` for the `count` samples j0 .. j0 + count - 1 (1 to
// kWeightLanes) of the sample row whose weights start at `lanes` (entry q of
// sample j at lanes[q * padded + j]), with the cell's terms tx, ty, landing
// in `frame`; lanes from count on may be written too. One per instruction
// set, each in its own file; the portable one runs on any x86-64.
using ChunkKernel = void (*)(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                             const double* ty, const PixelFrame& frame, Chunk& out) noexcept;
void chunkCoordinatesPortable(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                              const double* ty, const PixelFrame& frame, Chunk& out) noexcept;
void chunkCoordinatesAvx2(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                          const double* ty, const PixelFrame& frame, Chunk& out) noexcept;
void chunkCoordinatesAvx512(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                            const double* ty, const PixelFrame& frame, Chunk& out) noexcept;

} // namespace plexor
