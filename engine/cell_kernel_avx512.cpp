// The chunk kernel for processors with AVX-512: eight lanes to a register.
// Built with -mavx512f and run only where the processor has it.

#include <immintrin.h>

#include "engine/cell_kernel.h"

namespace plexor {
namespace {

struct Avx512Lanes {
    typedef double Double __attribute__((vector_size(64)));
    typedef float Float __attribute__((vector_size(32)));
    // Written out: g++ 12 widens a whole register of floats in two halves
    // and merges them, which lengthens every chain of additions. The
    // conversions take the zeroing form, whose unmasked one g++ 12 warns of.
    static Double broadcast(double v) noexcept { return _mm512_set1_pd(v); }
    static Double widen(Float f) noexcept { return _mm512_maskz_cvtps_pd(0xFF, f); }
    static Double fma(Double a, Double b, Double c) noexcept { return _mm512_fmadd_pd(a, b, c); }
    static Double truncate(Double v) noexcept
    {
        return _mm512_maskz_roundscale_pd(0xFF, v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    static void storeInt32(std::int32_t* to, Double v) noexcept
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), _mm512_maskz_cvttpd_epi32(0xFF, v));
    }
    static bool any(decltype(Double{} == Double{}) mask) noexcept
    {
        const __m512i bits = __builtin_bit_cast(__m512i, mask);
        return _mm512_test_epi64_mask(bits, bits) != 0;
    }
    // The low words of both, which hold the bits the test looks at, side by
    // side in one register, and tested at once.
    static decltype(Double{} == Double{}) halfway(Double a, Double b) noexcept
    {
        const __m512 lows = _mm512_shuffle_ps(_mm512_castpd_ps(a), _mm512_castpd_ps(b), 0x88);
        const __m512i low29 = _mm512_and_si512(_mm512_castps_si512(lows), _mm512_set1_epi32(0x1FFFFFFF));
        const __mmask16 found = _mm512_cmpeq_epi32_mask(low29, _mm512_set1_epi32(0x10000000));
        return __builtin_bit_cast(decltype(Double{} == Double{}), _mm512_maskz_mov_epi32(found, _mm512_set1_epi32(-1)));
    }
};

} // namespace

void chunkCoordinatesAvx512(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                            const double* ty, const PixelFrame& frame, Chunk& out) noexcept
{
    chunkCoordinates<Avx512Lanes>(lanes, padded, j0, count, tx, ty, frame, out);
}

} // namespace plexor
