// The chunk kernel for any x86-64: two lanes to a register, the width every
// such processor has, and nothing beyond its base instruction set.

#include "engine/cell_kernel.h"

namespace plexor {
namespace {

struct PortableLanes {
    typedef double Double __attribute__((vector_size(16)));
    typedef float Float __attribute__((vector_size(8)));
    static Double broadcast(double v) noexcept { return Double{v, v}; }
    static Double widen(Float f) noexcept { return __builtin_convertvector(f, Double); }
    // No fused operation here: the product is exact, so the sum is the same.
    static Double fma(Double a, Double b, Double c) noexcept { return a * b + c; }
    static bool any(decltype(Double{} == Double{}) mask) noexcept { return (mask[0] | mask[1]) != 0; }
};

} // namespace

void chunkCoordinatesPortable(const double* lanes, std::int32_t padded, std::int32_t j0, int count, const double* tx,
                              const double* ty, Chunk& out) noexcept
{
    chunkCoordinates<PortableLanes>(lanes, padded, j0, count, tx, ty, out);
}

} // namespace plexor
