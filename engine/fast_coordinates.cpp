// The production deformation of one cell. It gives the same bits as the
// literal kernel, faster:
//
// Each coordinate term is x := f(x + s * w), with s an integer below 2^29 in
// magnitude and w a float, so s * w is exact in double. The literal kernel
// rounds the sum to a 64-bit significand and then to float; here the sum is
// rounded to double (53 bits) and then to float. Neither first rounding can
// step across a point halfway between two floats, since such points are
// representable in both formats; the two results can differ only when the
// double sum lands exactly on such a halfway point, and then the literal sum
// lands there too or the exact sum lies beside it. So a double sum that is
// not a halfway point gives the literal's float, and a sample with any term
// whose sum is an inexact halfway point is recomputed term by term, the
// literal way where it matters. Such samples are rare.
//
// A chunk of a row's samples is computed side by side in vector registers,
// by the widest chunk kernel the processor has (cell_kernel_*.cpp), which is
// looked up once, on first use.

#include "engine/fast_coordinates.h"

#include "engine/extended.h"
#include "engine/halfway_sum.h"

namespace plexor {
namespace {

constexpr std::int64_t kExactTermLimit = std::int64_t{1} << 29;

// One term of a suspect sample: the double sum where it rounds to the
// literal's float, else the sum in extended precision.
inline float refinedTerm(float acc, double term, float weight) noexcept
{
    const double product = term * weight;
    if (inexactHalfway(static_cast<double>(acc), product)) return store(Extended{acc} + Extended{term} * weight);
    return static_cast<float>(static_cast<double>(acc) + product);
}

} // namespace

void refineSample(const float* weights, const double* tx, const double* ty, float& x, float& y) noexcept
{
    x = 0.0f;
    y = 0.0f;
    for (int q = 0; q < 16; ++q) {
        x = refinedTerm(x, tx[q], weights[q]);
        y = refinedTerm(y, ty[q], weights[q]);
    }
}

ChunkKernel pickChunkKernel(FastKernel kind)
{
    static const ChunkKernel kBest = fastKernelAvailable(FastKernel::Avx512) ? chunkCoordinatesAvx512
                                     : fastKernelAvailable(FastKernel::Avx2) ? chunkCoordinatesAvx2
                                                                             : chunkCoordinatesPortable;
    if (kind == FastKernel::Best) return kBest;
    if (!fastKernelAvailable(kind)) return chunkCoordinatesPortable;
    switch (kind) {
    case FastKernel::Avx512: return chunkCoordinatesAvx512;
    case FastKernel::Avx2: return chunkCoordinatesAvx2;
    default: return chunkCoordinatesPortable;
    }
}

bool exactTerms(const CellTerms& terms, double* tx, double* ty)
{
    for (int q = 0; q < 16; ++q) {
        if (terms.x[q] <= -kExactTermLimit || terms.x[q] >= kExactTermLimit) return false;
        if (terms.y[q] <= -kExactTermLimit || terms.y[q] >= kExactTermLimit) return false;
        tx[q] = static_cast<double>(terms.x[q]);
        ty[q] = static_cast<double>(terms.y[q]);
    }
    return true;
}

namespace {

bool tablesFit(const GridSampling& g)
{
    const std::size_t samples = static_cast<std::size_t>(g.samplesPerCell()) + 1;
    return g.samplesPerCell() >= 1 && g.tables.weights().size() == 16 * samples * samples &&
           g.tables.lanes().size() == 16 * samples * static_cast<std::size_t>(paddedSampleCount(g.samplesPerCell()));
}

bool cellExists(const GridSampling& g, CellRef cell)
{
    return cell.col >= 0 && cell.col < g.shape.cellCols && cell.row >= 0 && cell.row < g.shape.cellRows &&
           static_cast<std::size_t>(g.shape.pointCols) * static_cast<std::size_t>(g.shape.pointRows) == g.points.size();
}

} // namespace

bool cellFits(const GridSampling& g, CellRef cell)
{
    return cellExists(g, cell) && tablesFit(g);
}

bool fastKernelAvailable(FastKernel kind)
{
    static const bool kAvx512 = __builtin_cpu_supports("avx512f");
    static const bool kAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    switch (kind) {
    case FastKernel::Avx512: return kAvx512;
    case FastKernel::Avx2: return kAvx2;
    default: return true;
    }
}

namespace {

bool sampleCoordinates(const GridSampling& g, std::int64_t width, std::int64_t height, const CellTerms& terms,
                       float* xs, float* ys, FastKernel kind)
{
    double tx[16];
    double ty[16];
    if (!exactTerms(terms, tx, ty)) return false;
    const std::size_t stride = static_cast<std::size_t>(g.samplesPerCell()) + 1;
    forEachChunk(g, width, width * height + 3, tx, ty, pickChunkKernel(kind),
                 [&](std::int32_t i, std::int32_t j0, int count, const Chunk& chunk) {
                     std::copy(chunk.x, chunk.x + count, xs + i * stride + j0);
                     std::copy(chunk.y, chunk.y + count, ys + i * stride + j0);
                 });
    return true;
}

} // namespace

void cellCoordinatesFast(const GridSampling& g, std::int64_t width, std::int64_t height, CellRef cell, float* xs,
                         float* ys, FastKernel kind)
{
    if (!sampleCoordinates(g, width, height, gatherCellTerms(g, width, height, cell.col, cell.row), xs, ys, kind))
        cellCoordinatesLiteral(g, width, height, cell, xs, ys);
}

} // namespace plexor
