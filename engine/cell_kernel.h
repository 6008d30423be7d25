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

#include "engine/chunk_kernel.h"
#include "engine/halfway_sum.h"
#include "engine/weight_tables.h"

namespace plexor {

namespace {

// The destinations of one register of samples, from their coordinates: each
// truncated toward zero where it lies strictly between -2^31 and 2^31, and
// the index y * width + x kept where it lies in the buffer. The index is
// computed in double: where it lies in the buffer its product is below 2^33
// and exact, and elsewhere no rounding brings it back inside.
template <class Lanes>
inline void registerDestinations(typename Lanes::Float x, typename Lanes::Float y, const PixelFrame& frame,
                                 std::int32_t* to) noexcept
{
    using D = typename Lanes::Double;
    using Mask = decltype(D{} == D{});
    const D limit = Lanes::broadcast(2147483648.0);
    const D xw = Lanes::widen(x);
    const D yw = Lanes::widen(y);
    Mask inside = (xw > -limit) & (xw < limit) & (yw > -limit) & (yw < limit);
    const D xd = Lanes::truncate(__builtin_bit_cast(D, __builtin_bit_cast(Mask, xw) & inside));
    const D yd = Lanes::truncate(__builtin_bit_cast(D, __builtin_bit_cast(Mask, yw) & inside));
    const D index = Lanes::fma(yd, Lanes::broadcast(frame.width), xd);
    inside &= (index >= D{}) & (index < Lanes::broadcast(frame.capacity));
    const Mask nowhere = __builtin_bit_cast(Mask, Lanes::broadcast(-1.0));
    Lanes::storeInt32(to, __builtin_bit_cast(D, (__builtin_bit_cast(Mask, index) & inside) | (nowhere & ~inside)));
}

// The chunk kernel over kUsed registers' worth of lanes of one instruction
// set. `Lanes` gives Double, a vector of
// doubles; Float, a vector of as many floats; broadcast(v), v in every lane;
// widen(floats), the same values as doubles; fma(a, b, c), a * b + c
// rounded once; truncate(v), v rounded toward zero, for |v| below 2^31;
// storeInt32(to, v), the lanes of v, whole numbers of int32 range, stored as
// int32; any(mask), whether any lane of a comparison's result is set; and
// halfway(a, b), a comparison's result set in some lane where a or b is
// halfwayBetweenFloats, and in none where neither is.
//
// Each register of samples is a chain of its own, and only its own rare
// halfway sums hold it up: its value before the term is still at hand then,
// so nothing is kept aside for them. Every product is exact, so a fused
// multiply-add gives the same double sum as a product and a sum.
template <class Lanes, int kUsed>
inline void chunkRegisters(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                           const double* ty, const PixelFrame& frame, Chunk& out) noexcept
{
    using D = typename Lanes::Double;
    using F = typename Lanes::Float;
    using Mask = decltype(D{} == D{});
    constexpr int kWidth = sizeof(D) / sizeof(double);
    static_assert(sizeof(F) * 2 == sizeof(D));

    F x[kUsed] = {};
    F y[kUsed] = {};
    Mask suspect[kUsed] = {};
    for (int q = 0; q < 16; ++q) {
        const double* w = lanes + static_cast<std::size_t>(q) * padded + j0;
        const D sx = Lanes::broadcast(tx[q]);
        const D sy = Lanes::broadcast(ty[q]);
#pragma GCC unroll 16
        for (int g = 0; g < kUsed; ++g) {
            D weight;
            std::memcpy(&weight, w + kWidth * g, sizeof weight);
            const D xBefore = Lanes::widen(x[g]);
            const D yBefore = Lanes::widen(y[g]);
            const D hx = Lanes::fma(sx, weight, xBefore);
            const D hy = Lanes::fma(sy, weight, yBefore);
            // A halfway sum is rare; only then is it worth finding out
            // whether the sum was exact, doing the term again.
            if (Lanes::any(Lanes::halfway(hx, hy))) [[unlikely]]
                suspect[g] |= inexactHalfway(xBefore, sx * weight) | inexactHalfway(yBefore, sy * weight);
            x[g] = __builtin_convertvector(hx, F);
            y[g] = __builtin_convertvector(hy, F);
        }
    }
    Mask anySuspect = {};
#pragma GCC unroll 16
    for (int g = 0; g < kUsed; ++g) {
        const int lane = kWidth * g;
        std::memcpy(out.x + lane, &x[g], sizeof x[g]);
        std::memcpy(out.y + lane, &y[g], sizeof y[g]);
        std::memcpy(out.suspect + lane, &suspect[g], sizeof suspect[g]);
        registerDestinations<Lanes>(x[g], y[g], frame, out.dest + lane);
        anySuspect |= suspect[g];
    }
    out.anySuspect = Lanes::any(anySuspect);
}

// The chunk kernel of one instruction set: as many registers as the count
// needs, so that the end of a row computes no padding it can skip.
template <class Lanes, int kUsed = 1>
inline void chunkCoordinates(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                             const double* ty, const PixelFrame& frame, Chunk& out) noexcept
{
    constexpr int kWidth = sizeof(typename Lanes::Double) / sizeof(double);
    if constexpr (kUsed * kWidth < kChunkLanes) {
        if (count > kUsed * kWidth) {
            chunkCoordinates<Lanes, kUsed + 1>(lanes, padded, j0, count, tx, ty, frame, out);
            return;
        }
    }
    chunkRegisters<Lanes, kUsed>(lanes, padded, j0, tx, ty, frame, out);
}

} // namespace
} // namespace plexor
