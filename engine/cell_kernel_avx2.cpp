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
    static bool any(decltype(Double{} == Double{}) mask) noexcept
    {
        const __m256i bits = __builtin_bit_cast(__m256i, mask);
        return !_mm256_testz_si256(bits, bits);
    }
};

} // namespace

void chunkCoordinatesAvx2(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                          const double* ty, Chunk& out) noexcept
{
    chunkCoordinates<Avx2Lanes>(lanes, padded, j0, count, tx, ty, out);
}

} // namespace plexor
