#pragma once

#include <cfloat>
#include <limits>

namespace plexor {

// The engine's arithmetic: single-precision values, with products and sums
// formed in extended precision (a 64-bit significand, rounding to nearest)
// and rounded to single precision only where a value is stored.
using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64, "extended precision needs the 80-bit long double of x86");
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must not carry excess precision");

// Rounds to single precision: the one place where a value is stored.
inline float store(Extended value) noexcept
{
    return static_cast<float>(value);
}

// The single-precision value nearest to 1/6 (bit pattern 3E2AAAAB).
inline constexpr float kSixth = 0x1.555556p-3f;

} // namespace plexor
