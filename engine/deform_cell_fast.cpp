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

#include <algorithm>
#include <cassert>

#include "engine/cell_footprint.h"
#include "engine/cell_kernel.h"
#include "engine/cell_terms.h"
#include "engine/deform_cell.h"
#include "engine/deform_cell_internal.h"
#include "engine/extended.h"
#include "engine/splat_block.h"
#include "engine/weight_tables.h"

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

// A suspect sample again, term by term with the exact decision.
void refineSample(const float* weights, const double* tx, const double* ty, float& x, float& y) noexcept
{
    x = 0.0f;
    y = 0.0f;
    for (int q = 0; q < 16; ++q) {
        x = refinedTerm(x, tx[q], weights[q]);
        y = refinedTerm(y, ty[q], weights[q]);
    }
}

// The chunk kernel for `kind`; for Best, the widest the processor has,
// looked up on first use and kept.
ChunkKernel pickChunkKernel(FastKernel kind)
{
    static const ChunkKernel best = fastKernelAvailable(FastKernel::Avx512) ? chunkCoordinatesAvx512
                                    : fastKernelAvailable(FastKernel::Avx2) ? chunkCoordinatesAvx2
                                                                            : chunkCoordinatesPortable;
    if (kind == FastKernel::Best) return best;
    if (!fastKernelAvailable(kind)) return chunkCoordinatesPortable;
    switch (kind) {
    case FastKernel::Avx512: return chunkCoordinatesAvx512;
    case FastKernel::Avx2: return chunkCoordinatesAvx2;
    default: return chunkCoordinatesPortable;
    }
}

// Gathers the cell's terms as doubles; false when one is too large for the
// products to be exact in double.
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

// Calls visit(i, j0, count, xs, ys) for every chunk of samples of the cell
// in row-major order: samples j0 .. j0 + count - 1 of sample row i.
template <class Visit>
inline void forEachChunk(const DeformModel& m, const double* tx, const double* ty, ChunkKernel kernel, Visit&& visit)
{
    const std::int32_t n = m.samplesPerCell();
    const std::int32_t padded = paddedSampleCount(n);
    Chunk chunk;
    for (std::int32_t i = 0; i <= n; ++i) {
        const double* row = m.tables().lanes().data() + static_cast<std::size_t>(i) * 16 * padded;
        for (std::int32_t j0 = 0; j0 <= n; j0 += kWeightLanes) {
            const int count = std::min(kWeightLanes, n + 1 - j0);
            kernel(row, padded, j0, count, tx, ty, chunk);
            if (chunk.anySuspect) {
                for (int l = 0; l < count; ++l)
                    if (chunk.suspect[l] != 0)
                        refineSample(m.tables().weights().data() +
                                         16 * (static_cast<std::size_t>(i) * (n + 1) + j0 + l),
                                     tx, ty, chunk.x[l], chunk.y[l]);
            }
            visit(i, j0, count, chunk.x, chunk.y);
        }
    }
}

[[maybe_unused]] bool tablesFit(const DeformModel& m)
{
    const std::size_t samples = static_cast<std::size_t>(m.samplesPerCell()) + 1;
    return m.samplesPerCell() >= 1 && m.tables().weights().size() == 16 * samples * samples &&
           m.tables().lanes().size() == 16 * samples * static_cast<std::size_t>(paddedSampleCount(m.samplesPerCell()));
}

[[maybe_unused]] bool cellExists(const DeformModel& m, CellRef cell)
{
    return cell.col >= 0 && cell.col < m.grid().cellCols && cell.row >= 0 && cell.row < m.grid().cellRows &&
           static_cast<std::size_t>(m.grid().pointCols) * static_cast<std::size_t>(m.grid().pointRows) ==
               m.points().size();
}

} // namespace

bool fastKernelAvailable(FastKernel kind)
{
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    switch (kind) {
    case FastKernel::Avx512: return avx512;
    case FastKernel::Avx2: return avx2;
    default: return true;
    }
}

namespace {

bool sampleCoordinates(const DeformModel& m, const CellTerms& terms, float* xs, float* ys, FastKernel kind)
{
    double tx[16];
    double ty[16];
    if (!exactTerms(terms, tx, ty)) return false;
    const std::size_t stride = static_cast<std::size_t>(m.samplesPerCell()) + 1;
    forEachChunk(m, tx, ty, pickChunkKernel(kind),
                 [&](std::int32_t i, std::int32_t j0, int count, const float* cx, const float* cy) {
                     std::copy(cx, cx + count, xs + i * stride + j0);
                     std::copy(cy, cy + count, ys + i * stride + j0);
                 });
    return true;
}

} // namespace

void cellCoordinatesFast(const DeformModel& m, CellRef cell, float* xs, float* ys, FastKernel kind)
{
    if (!sampleCoordinates(m, gatherCellTerms(m, cell.col, cell.row), xs, ys, kind))
        cellCoordinatesLiteral(m, cell, xs, ys);
}

namespace {

// Gathers the destinations of a cell's chunks, which come in order, into
// blocks of whole sample rows, or of pieces of one row where a row is longer
// than a block, and splats each block once it is full.
class BlockGatherer {
public:
    BlockGatherer(const SplatTarget& target, std::int64_t originX, std::int64_t originY, std::int64_t side)
        : target_(target), originX_(originX), originY_(originY), side_(side)
    {}

    // Where the destinations of samples j0 .. j0 + count - 1 of sample row
    // i go.
    std::int32_t* room(std::int32_t i, std::int32_t j0, int count)
    {
        const bool wholeRows = side_ <= kBlockSamples;
        if (wholeRows ? j0 == 0 && count_ + side_ > kBlockSamples : i != row_ || count_ + count > kBlockSamples)
            flush();
        if (count_ == 0) {
            row_ = i;
            column_ = wholeRows ? 0 : j0;
        }
        std::int32_t* at = dests_ + count_;
        count_ += count;
        return at;
    }

    void flush()
    {
        if (count_ == 0) return;
        const std::int64_t perRow = side_ <= kBlockSamples ? side_ : count_;
        const SplatBlock block{dests_, count_, perRow, (originY_ + row_) * target_.width + originX_ + column_,
                               target_.width};
        splatBlock(target_, SplatBand{0, static_cast<std::int32_t>(target_.width)}, block, true);
        count_ = 0;
    }

private:
    static constexpr std::int64_t kBlockSamples = 1024;
    const SplatTarget& target_;
    const std::int64_t originX_, originY_, side_;
    std::int32_t dests_[kBlockSamples];
    std::int64_t count_ = 0;
    std::int64_t row_ = 0, column_ = 0; // where the block starts
};

} // namespace

CellLanding landCellSamples(const DeformModel& m, CellRef cell, std::int32_t* dests)
{
    assert(cellExists(m, cell) && tablesFit(m));
    const CellTerms terms = gatherCellTerms(m, cell.col, cell.row);
    const ControlPoint& o = m.point(cell.col, cell.row);
    const std::int64_t originX = o.x;
    const std::int64_t originY = o.y;
    const std::int64_t width = m.imageWidth();
    const std::int64_t capacity = m.pixelCapacity();
    const std::int32_t n = m.samplesPerCell();
    const std::size_t stride = static_cast<std::size_t>(n) + 1;
    std::int64_t first = width;
    std::int64_t last = 0;
    bool wraps = false;
    const auto land = [&](std::int32_t i, std::int32_t j, float x, float y) {
        std::int64_t xd;
        const std::int32_t dest = sampleDestination(x, y, (originY + i) * width + originX + j, width, capacity, xd);
        dests[i * stride + j] = dest;
        if (dest < 0) return;
        // A square from column 1 to the last but one stays in its rows.
        wraps |= xd < 1 || xd + 2 > width;
        first = std::min(first, xd - 1);
        last = std::max(last, xd + 2);
    };
    CellLanding landing;
    double tx[16];
    double ty[16];
    if (exactTerms(terms, tx, ty)) {
        forEachChunk(m, tx, ty, pickChunkKernel(FastKernel::Best),
                     [&](std::int32_t i, std::int32_t j0, int count, const float* xs, const float* ys) {
                         for (int l = 0; l < count; ++l) land(i, j0 + l, xs[l], ys[l]);
                     });
        landing.reach = footprintOf(terms, m.imageWidth(), m.imageHeight());
    } else {
        // Terms this far out may send samples anywhere.
        for (std::int32_t i = 0; i <= n; ++i)
            for (std::int32_t j = 0; j <= n; ++j) {
                float x;
                float y;
                literalSampleCoordinates(m, terms, i, j, x, y);
                land(i, j, x, y);
            }
        landing.reach.rects[landing.reach.count++] = PixelRect{0, 0, m.imageWidth(), m.imageHeight()};
    }
    if (wraps) {
        first = 0;
        last = width;
    }
    landing.firstColumn = static_cast<std::int32_t>(first);
    landing.lastColumn = static_cast<std::int32_t>(last);
    return landing;
}

void splatCellSamples(DeformModel& m, CellRef cell, const std::int32_t* dests, const CellLanding& landing,
                      SplatBand band)
{
    assert(cellExists(m, cell) && tablesFit(m));
    if (landing.firstColumn >= band.last || landing.lastColumn <= band.first) return;
    const SplatTarget target{m.workImage().data(), m.splatMask().data(), m.sourceImage().data(), m.pixelCapacity(),
                             m.imageWidth()};
    // Inside the band, no sample needs its column looked at.
    const bool inside = landing.firstColumn >= band.first && landing.lastColumn <= band.last;
    const ControlPoint& o = m.point(cell.col, cell.row);
    const std::int64_t side = std::int64_t{m.samplesPerCell()} + 1;
    const SplatBlock block{dests, side * side, side, std::int64_t{o.y} * m.imageWidth() + o.x, m.imageWidth()};
    splatBlock(target, band, block, inside);
}

CellFootprint deformCell(DeformModel& m, CellRef cell, FastKernel kind)
{
    assert(cellExists(m, cell) && tablesFit(m));
    assert(!m.workImage().empty() && !m.sourceImage().empty() && !m.splatMask().empty());
    // The terms are read once: what the cell writes follows from them, even
    // while a drag moves a point meanwhile.
    const CellTerms terms = gatherCellTerms(m, cell.col, cell.row);
    double tx[16];
    double ty[16];
    if (!exactTerms(terms, tx, ty)) {
        // Terms this far out are read again per sample: the whole picture may change.
        deformCellLiteral(m, cell);
        CellFootprint whole;
        whole.rects[whole.count++] = PixelRect{0, 0, m.imageWidth(), m.imageHeight()};
        return whole;
    }
    const SplatTarget target{m.workImage().data(), m.splatMask().data(), m.sourceImage().data(), m.pixelCapacity(),
                             m.imageWidth()};
    const ControlPoint& o = m.point(cell.col, cell.row);
    BlockGatherer blocks(target, o.x, o.y, std::int64_t{m.samplesPerCell()} + 1);
    forEachChunk(m, tx, ty, pickChunkKernel(kind),
                 [&](std::int32_t i, std::int32_t j0, int count, const float* xs, const float* ys) {
                     const std::int64_t src = (std::int64_t{o.y} + i) * target.width + o.x + j0;
                     std::int32_t* dests = blocks.room(i, j0, count);
                     for (int l = 0; l < count; ++l) {
                         std::int64_t xd;
                         dests[l] = sampleDestination(xs[l], ys[l], src + l, target.width, target.capacity, xd);
                     }
                 });
    blocks.flush();
    return footprintOf(terms, m.imageWidth(), m.imageHeight());
}

CellFootprint deformCell(DeformModel& m, CellRef cell)
{
    return deformCell(m, cell, FastKernel::Best);
}

} // namespace plexor
