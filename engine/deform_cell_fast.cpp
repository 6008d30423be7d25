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
// by the widest chunk kernel the processor has (cell_kernel_*.cpp); the
// choice is made here, once.

#include <algorithm>
#include <cassert>

#include "engine/cell_footprint.h"
#include "engine/cell_kernel.h"
#include "engine/cell_terms.h"
#include "engine/deform_cell.h"
#include "engine/deform_cell_internal.h"
#include "engine/extended.h"
#include "engine/splat.h"
#include "engine/weight_tables.h"

namespace plexor {
namespace {

constexpr std::int64_t kExactTermLimit = std::int64_t{1} << 29;

// One term of a suspect sample: the double sum where it rounds to the
// literal's float, else the sum in extended precision.
inline float RefinedTerm(float acc, double term, float weight) noexcept
{
    const double product = term * weight;
    if (InexactHalfway(static_cast<double>(acc), product)) return Store(Extended{acc} + Extended{term} * weight);
    return static_cast<float>(static_cast<double>(acc) + product);
}

// A suspect sample again, term by term with the exact decision.
void RefineSample(const float* weights, const double* tx, const double* ty, float& x, float& y) noexcept
{
    x = 0.0f;
    y = 0.0f;
    for (int q = 0; q < 16; ++q) {
        x = RefinedTerm(x, tx[q], weights[q]);
        y = RefinedTerm(y, ty[q], weights[q]);
    }
}

ChunkKernel PickChunkKernel(FastKernel kind)
{
    if (kind == FastKernel::Best)
        kind = FastKernelAvailable(FastKernel::Avx512) ? FastKernel::Avx512
               : FastKernelAvailable(FastKernel::Avx2) ? FastKernel::Avx2
                                                       : FastKernel::Portable;
    if (!FastKernelAvailable(kind)) return ChunkCoordinatesPortable;
    switch (kind) {
    case FastKernel::Avx512: return ChunkCoordinatesAvx512;
    case FastKernel::Avx2: return ChunkCoordinatesAvx2;
    default: return ChunkCoordinatesPortable;
    }
}

// Gathers the cell's terms as doubles; false when one is too large for the
// products to be exact in double.
bool ExactTerms(const CellTerms& terms, double* tx, double* ty)
{
    for (int q = 0; q < 16; ++q) {
        if (terms.X[q] <= -kExactTermLimit || terms.X[q] >= kExactTermLimit) return false;
        if (terms.Y[q] <= -kExactTermLimit || terms.Y[q] >= kExactTermLimit) return false;
        tx[q] = static_cast<double>(terms.X[q]);
        ty[q] = static_cast<double>(terms.Y[q]);
    }
    return true;
}

// Calls visit(i, j, x, y) for every sample of the cell in row-major order.
template <class Visit>
inline void ForEachSample(const DeformModel& m, const double* tx, const double* ty, ChunkKernel kernel, Visit&& visit)
{
    const std::int32_t n = m.SamplesPerCell;
    const std::int32_t padded = PaddedSampleCount(n);
    Chunk chunk;
    for (std::int32_t i = 0; i <= n; ++i) {
        const double* row = m.WeightLanes.data() + static_cast<std::size_t>(i) * 16 * padded;
        for (std::int32_t j0 = 0; j0 <= n; j0 += kWeightLanes) {
            kernel(row, padded, j0, tx, ty, chunk);
            const int count = std::min(kWeightLanes, n + 1 - j0);
            for (int l = 0; l < count; ++l) {
                float x = chunk.x[l];
                float y = chunk.y[l];
                if (chunk.anySuspect && chunk.suspect[l] != 0)
                    RefineSample(m.WeightTable.data() + 16 * (static_cast<std::size_t>(i) * (n + 1) + j0 + l), tx, ty,
                                 x, y);
                visit(i, j0 + l, x, y);
            }
        }
    }
}

[[maybe_unused]] bool TablesFit(const DeformModel& m)
{
    const std::size_t samples = static_cast<std::size_t>(m.SamplesPerCell) + 1;
    return m.SamplesPerCell >= 1 && m.WeightTable.size() == 16 * samples * samples &&
           m.WeightLanes.size() == 16 * samples * static_cast<std::size_t>(PaddedSampleCount(m.SamplesPerCell));
}

[[maybe_unused]] bool CellExists(const DeformModel& m, TCellRef cell)
{
    return cell.Col >= 0 && cell.Col < m.CellCols() && cell.Row >= 0 && cell.Row < m.CellRows() &&
           static_cast<std::size_t>(m.PointCols()) * static_cast<std::size_t>(m.PointRows()) == m.ControlPoints.size();
}

} // namespace

bool FastKernelAvailable(FastKernel kind)
{
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    switch (kind) {
    case FastKernel::Avx512: return avx512;
    case FastKernel::Avx2: return avx2;
    default: return true;
    }
}

namespace {

bool SampleCoordinates(const DeformModel& m, const CellTerms& terms, float* xs, float* ys, FastKernel kind)
{
    double tx[16];
    double ty[16];
    if (!ExactTerms(terms, tx, ty)) return false;
    const std::size_t stride = static_cast<std::size_t>(m.SamplesPerCell) + 1;
    ForEachSample(m, tx, ty, PickChunkKernel(kind), [&](std::int32_t i, std::int32_t j, float x, float y) {
        xs[i * stride + j] = x;
        ys[i * stride + j] = y;
    });
    return true;
}

} // namespace

void CellCoordinatesFast(const DeformModel& m, TCellRef cell, float* xs, float* ys, FastKernel kind)
{
    if (!SampleCoordinates(m, GatherCellTerms(m, cell.Col, cell.Row), xs, ys, kind))
        CellCoordinatesLiteral(m, cell, xs, ys);
}

bool CellSampleCoordinates(const DeformModel& m, TCellRef cell, float* xs, float* ys, CellFootprint& reach)
{
    assert(CellExists(m, cell) && TablesFit(m));
    const CellTerms terms = GatherCellTerms(m, cell.Col, cell.Row);
    if (!SampleCoordinates(m, terms, xs, ys, FastKernel::Best)) return false;
    reach = FootprintOf(terms, m.ImageWidth, m.ImageHeight);
    return true;
}

void SplatCellSamples(DeformModel& m, TCellRef cell, const float* xs, const float* ys)
{
    assert(CellExists(m, cell) && TablesFit(m));
    const SplatTarget target{m.WorkImage.data(), m.SplatMask.data(), m.SourceImage.data(), m.PixelCapacity,
                             m.ImageWidth};
    const TControlPoint& o = m.Point(cell.Col, cell.Row);
    const std::int64_t width = m.ImageWidth;
    const std::int32_t n = m.SamplesPerCell;
    for (std::int32_t i = 0; i <= n; ++i) {
        const std::int64_t rowStart = (std::int64_t{o.Y} + i) * width + o.X;
        const std::size_t at = static_cast<std::size_t>(i) * (static_cast<std::size_t>(n) + 1);
        for (std::int32_t j = 0; j <= n; ++j) {
            std::int64_t xd;
            std::int64_t yd;
            if (!TruncateCoordinate(xs[at + j], xd) || !TruncateCoordinate(ys[at + j], yd)) continue;
            SplatSample(target, xd, yd, rowStart + j);
        }
    }
}

CellFootprint DeformCell(DeformModel& m, TCellRef cell, FastKernel kind)
{
    assert(CellExists(m, cell) && TablesFit(m));
    assert(!m.WorkImage.empty() && !m.SourceImage.empty() && !m.SplatMask.empty());
    // The terms are read once: what the cell writes follows from them, even
    // while a drag moves a point meanwhile.
    const CellTerms terms = GatherCellTerms(m, cell.Col, cell.Row);
    double tx[16];
    double ty[16];
    if (!ExactTerms(terms, tx, ty)) {
        // Terms this far out are read again per sample: the whole picture may change.
        DeformCellLiteral(m, cell);
        CellFootprint whole;
        whole.Rects[whole.Count++] = PixelRect{0, 0, m.ImageWidth, m.ImageHeight};
        return whole;
    }
    const SplatTarget target{m.WorkImage.data(), m.SplatMask.data(), m.SourceImage.data(), m.PixelCapacity,
                             m.ImageWidth};
    const TControlPoint& o = m.Point(cell.Col, cell.Row);
    const std::int64_t originX = o.X;
    const std::int64_t originY = o.Y;
    const std::int64_t width = m.ImageWidth;
    ForEachSample(m, tx, ty, PickChunkKernel(kind), [&](std::int32_t i, std::int32_t j, float x, float y) {
        std::int64_t xd;
        std::int64_t yd;
        if (!TruncateCoordinate(x, xd) || !TruncateCoordinate(y, yd)) return;
        SplatSample(target, xd, yd, (originY + i) * width + originX + j);
    });
    return FootprintOf(terms, m.ImageWidth, m.ImageHeight);
}

CellFootprint DeformCell(DeformModel& m, TCellRef cell)
{
    return DeformCell(m, cell, FastKernel::Best);
}

} // namespace plexor
