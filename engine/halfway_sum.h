#pragma once

// Whether a sum of doubles may round to another float than the same sum in
// extended precision: the test the fast cell kernels make on every term,
// for the engine's own files only. Like the kernels that use it, it has
// internal linkage, so that each instruction set's file keeps the copy built
// for it (see cell_kernel.h).

#include <cstdint>

namespace plexor {
namespace {

// The bits of a double, or of every lane of a vector of doubles (a vector
// comparison yields 64-bit integer lanes).
template <class D>
struct DoubleBits {
    using Type = decltype(D{} == D{});
};
template <>
struct DoubleBits<double> {
    using Type = std::uint64_t;
};

// True (all ones, in the lanes of a vector) where a double sum lies exactly
// halfway between two floats: the one case where it may not round to the
// float of the extended sum.
//
// Below the normal floats no such case arises: every weight and every float
// sum is a whole multiple of the smallest float step 2^-149, and so is each
// exact sum, which is therefore itself a float there, whatever the rounding.
template <class D>
inline auto halfwayBetweenFloats(D sum) noexcept
{
    const auto bits = __builtin_bit_cast(typename DoubleBits<D>::Type, sum);
    return (bits & 0x1FFFFFFF) == 0x10000000;
}

// The rounding error of the double sum a + b = sum, exactly (two-sum).
template <class D>
inline D sumError(D a, D b, D sum) noexcept
{
    const D bVirtual = sum - a;
    const D aVirtual = sum - bVirtual;
    return (a - aVirtual) + (b - bVirtual);
}

// True (all ones, in the lanes of a vector) where the double sum a + b lies
// halfway between two floats and is not exact. Only then may it round to
// another float than the extended sum: an exact halfway sum is the extended
// sum too, and both round it the same way (ties to even).
template <class D>
inline auto inexactHalfway(D a, D b) noexcept
{
    const D sum = a + b;
    const auto halfway = halfwayBetweenFloats(sum);
    const auto inexact = sumError(a, b, sum) != D{};
    return halfway & inexact;
}

} // namespace
} // namespace plexor
