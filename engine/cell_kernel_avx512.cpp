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
    // and merges them, which lengthens every chain of additions.
    static Double broadcast(double v) noexcept { return _mm512_set1_pd(v); }
    static Double widen(Float f) noexcept { return _mm512_maskz_cvtps_pd(0xFF, f); }
    static Double fma(Double a, Double b, Double c) noexcept { return _mm512_fmadd_pd(a, b, c); }
    static bool any(decltype(Double{} == Double{}) mask) noexcept
    {
        const __m512i bits = __builtin_bit_cast(__m512i, mask);
        return _mm512_test_epi64_mask(bits, bits) != 0;
    }
};

} // namespace

void chunkCoordinatesAvx512(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                            const double* ty, Chunk& out) noexcept
{
    chunkCoordinates<Avx512Lanes>(lanes, padded, j0, count, tx, ty, out);
}

} // namespace plexor
