#pragma once

// The fast cell kernel's arithmetic, for the engine's own files only: the
// test for a double sum that may round to another float than the extended
// one, and the chunk kernel, written once over the lanes of a vector and
// built once per instruction set.
//
// Each instruction set's file is compiled with its own target flags, and
// each includes this header. Were anything below an inline function or
// template with external linkage, the linker would keep one copy of each for
// the whole program, possibly the one built for 512-bit vectors, and run it
// on processors without them. So everything with a body has internal
// linkage (the unnamed namespace), and none of it calls a template of the
// standard library, whose instantiations would be shared in the same way:
// the bit casts use the compiler's built-in directly.
//
// Vectors pass by value only between functions of one file, which is built
// for their width (the portable file's are the 16 bytes every x86-64 has);
// the kernels themselves take pointers. So no call passes a vector across a
// change of calling convention.

#include <cstdint>
#include <cstring>

#include "engine/halfway_sum.h"
#include "engine/weight_tables.h"

namespace plexor {

// Coordinates of samples j0 .. j0 + kWeightLanes - 1 of one sample row, and
// for each a non-zero `suspect` when one of its terms had a double sum that
// may round to another float than the extended sum; `anySuspect` when any
// has, so that a chunk without (nearly every one) is taken as it is.
struct Chunk {
    float x[kWeightLanes];
    float y[kWeightLanes];
    std::uint64_t suspect[kWeightLanes];
    bool anySuspect;
};

// Fills `out` for samples j0 .. of the sample row whose weights start at
// `lanes` (entry q of sample j at lanes[q * padded + j]), with the cell's
// terms tx, ty. One per instruction set, each in its own file; the portable
// one runs on any x86-64.
using ChunkKernel = void (*)(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                             const double* ty, Chunk& out) noexcept;
void chunkCoordinatesPortable(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                              const double* ty, Chunk& out) noexcept;
void chunkCoordinatesAvx2(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx, const double* ty,
                          Chunk& out) noexcept;
void chunkCoordinatesAvx512(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                            const double* ty, Chunk& out) noexcept;

namespace {

// The chunk kernel over the lanes of one instruction set. `Lanes` gives
// Double, a vector of doubles; Float, a vector of as many floats;
// widen(floats), the same values as doubles; and any(mask), whether any lane
// of a comparison's result is set. The kWeightLanes samples are held in
// several registers side by side, so that their independent chains of
// additions overlap.
template <class Lanes>
inline void chunkCoordinates(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                             const double* ty, Chunk& out) noexcept
{
    using D = typename Lanes::Double;
    using F = typename Lanes::Float;
    using Mask = decltype(D{} == D{});
    constexpr int kWidth = sizeof(D) / sizeof(double);
    constexpr int kGroups = kWeightLanes / kWidth;
    static_assert(sizeof(F) * 2 == sizeof(D) && kGroups * kWidth == kWeightLanes);

    F x[kGroups] = {};
    F y[kGroups] = {};
    Mask suspect[kGroups] = {};
    for (int q = 0; q < 16; ++q) {
        const double* w = lanes + static_cast<std::size_t>(q) * padded + j0;
        const double sx = tx[q];
        const double sy = ty[q];
        F xBefore[kGroups];
        F yBefore[kGroups];
        Mask halfway = {};
#pragma GCC unroll 8
        for (int g = 0; g < kGroups; ++g) {
            xBefore[g] = x[g];
            yBefore[g] = y[g];
            D weight;
            std::memcpy(&weight, w + kWidth * g, sizeof weight);
            const D hx = Lanes::widen(x[g]) + sx * weight;
            const D hy = Lanes::widen(y[g]) + sy * weight;
            x[g] = __builtin_convertvector(hx, F);
            y[g] = __builtin_convertvector(hy, F);
            halfway |= halfwayBetweenFloats(hx) | halfwayBetweenFloats(hy);
        }
        // A halfway sum is rare; only then is it worth finding out whether
        // the sum was exact, doing the term again.
        if (Lanes::any(halfway)) {
#pragma GCC unroll 8
            for (int g = 0; g < kGroups; ++g) {
                D weight;
                std::memcpy(&weight, w + kWidth * g, sizeof weight);
                suspect[g] |= inexactHalfway(Lanes::widen(xBefore[g]), sx * weight) |
                              inexactHalfway(Lanes::widen(yBefore[g]), sy * weight);
            }
        }
    }
    Mask anySuspect = {};
#pragma GCC unroll 8
    for (int g = 0; g < kGroups; ++g) {
        std::memcpy(out.x + kWidth * g, &x[g], sizeof x[g]);
        std::memcpy(out.y + kWidth * g, &y[g], sizeof y[g]);
        std::memcpy(out.suspect + kWidth * g, &suspect[g], sizeof suspect[g]);
        anySuspect |= suspect[g];
    }
    out.anySuspect = Lanes::any(anySuspect);
}

} // namespace
} // namespace plexor
