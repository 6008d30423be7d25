// The chunk kernel for any x86-64: two lanes to a register, the width every
// such processor has, and nothing beyond its base instruction set.

#include <emmintrin.h>

#include "engine/cell_kernel.h"

namespace plexor {
namespace {

struct PortableLanes {
    typedef double Double __attribute__((vector_size(16)));
    typedef float Float __attribute__((vector_size(8)));
    static Double broadcast(double v) noexcept { return Double{v, v}; }
    static Double widen(Float f) noexcept { return __builtin_convertvector(f, Double); }
    // No fused operation here: the product is exact where it matters (see
    // registerDestinations), so the sum is the same.
    static Double fma(Double a, Double b, Double c) noexcept { return a * b + c; }
    static Double truncate(Double v) noexcept
    {
        return __builtin_bit_cast(Double, _mm_cvtepi32_pd(_mm_cvttpd_epi32(__builtin_bit_cast(__m128d, v))));
    }
    static void storeInt32(std::int32_t* to, Double v) noexcept
    {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_cvttpd_epi32(__builtin_bit_cast(__m128d, v)));
    }
    static bool any(decltype(Double{} == Double{}) mask) noexcept { return (mask[0] | mask[1]) != 0; }
    // The low words of both, which hold the bits the test looks at, side by
    // side in one register, and tested at once.
    static decltype(Double{} == Double{}) halfway(Double a, Double b) noexcept
    {
        const __m128 lows = _mm_shuffle_ps(__builtin_bit_cast(__m128, a), __builtin_bit_cast(__m128, b), 0x88);
        const __m128i low29 = _mm_and_si128(_mm_castps_si128(lows), _mm_set1_epi32(0x1FFFFFFF));
        return __builtin_bit_cast(decltype(Double{} == Double{}), _mm_cmpeq_epi32(low29, _mm_set1_epi32(0x10000000)));
    }
};

} // namespace

void chunkCoordinatesPortable(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                              const double* ty, const PixelFrame& frame, Chunk& out) noexcept
{
    chunkCoordinates<PortableLanes>(lanes, padded, j0, count, tx, ty, frame, out);
}

} // namespace plexor
