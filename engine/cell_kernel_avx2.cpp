// The chunk kernel for processors with AVX2 and FMA: four lanes to a
// register. Built with -mavx2 -mfma and run only where the processor has
// both.

#include <immintrin.h>

#include "engine/cell_kernel.h"

namespace plexor {
namespace {

struct Avx2Lanes {
    typedef double Double __attribute__((vector_size(32)));
    typedef float Float __attribute__((vector_size(16)));
    // Written out: g++ 12 widens a whole register of floats in two halves
    // and merges them, which lengthens every chain of additions.
    static Double broadcast(double v) noexcept { return _mm256_set1_pd(v); }
    static Double widen(Float f) noexcept { return _mm256_cvtps_pd(f); }
    static Double fma(Double a, Double b, Double c) noexcept { return _mm256_fmadd_pd(a, b, c); }
    static Double truncate(Double v) noexcept { return _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
    static void storeInt32(std::int32_t* to, Double v) noexcept
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_cvttpd_epi32(v));
    }
    static bool any(decltype(Double{} == Double{}) mask) noexcept
    {
        const __m256i bits = __builtin_bit_cast(__m256i, mask);
        return !_mm256_testz_si256(bits, bits);
    }
    // The low words of both, which hold the bits the test looks at, side by
    // side in one register, and tested at once.
    static decltype(Double{} == Double{}) halfway(Double a, Double b) noexcept
    {
        const __m256 lows = _mm256_shuffle_ps(_mm256_castpd_ps(a), _mm256_castpd_ps(b), 0x88);
        const __m256i low29 = _mm256_and_si256(_mm256_castps_si256(lows), _mm256_set1_epi32(0x1FFFFFFF));
        return __builtin_bit_cast(decltype(Double{} == Double{}),
                                  _mm256_cmpeq_epi32(low29, _mm256_set1_epi32(0x10000000)));
    }
};

} // namespace

void chunkCoordinatesAvx2(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                          const double* ty, const PixelFrame& frame, Chunk& out) noexcept
{
    chunkCoordinates<Avx2Lanes>(lanes, padded, j0, count, tx, ty, frame, out);
}

} // namespace plexor
