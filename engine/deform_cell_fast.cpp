// The production deformation of one cell: the fast kernel's coordinates
// (fast_coordinates.h), with the same bits as the literal kernel, their
// destinations gathered into blocks, and the blocks splatted.

#include <cassert>
#include <cstring>

#include "engine/alpha_splat_target.h"
#include "engine/cell_footprint.h"
#include "engine/deform_cell.h"
#include "engine/fast_coordinates.h"
#include "engine/splat_block.h"

namespace plexor {
namespace {

// Gathers the destinations of a cell's chunks, which come in order, into
// blocks of whole sample rows, or of pieces of one row where a row is longer
// than a piece, and splats each block once it is full. The larger a block,
// the fewer of its squares hold marks set before it, which only its first
// row meets: the cells of the usual steps are splatted whole.
class BlockGatherer {
public:
    BlockGatherer(const SplatTarget& target, std::int64_t originX, std::int64_t originY, std::int64_t side)
        : target_(target), originX_(originX), originY_(originY), side_(side)
    {}

    // Where the destinations of samples j0 .. j0 + count - 1 of sample row
    // i go.
    std::int32_t* room(std::int32_t i, std::int32_t j0, int count)
    {
        const bool wholeRows = side_ <= kPieceSamples;
        if (wholeRows ? j0 == 0 && count_ + side_ > kBlockSamples : i != row_ || count_ + count > kPieceSamples)
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
        const std::int64_t perRow = side_ <= kPieceSamples ? side_ : count_;
        const SplatBlock block{dests_, count_ / perRow, perRow, (originY_ + row_) * target_.width + originX_ + column_,
                               target_.width};
        const SplatBand band{0, static_cast<std::int32_t>(target_.width)};
        withSplatPlanes(target_, [&](const auto& planes) { splatBlock(planes, band, block, true); });
        count_ = 0;
    }

private:
    static constexpr std::int64_t kBlockSamples = 4096;
    static constexpr std::int64_t kPieceSamples = 1024;
    const SplatTarget& target_;
    const std::int64_t originX_, originY_, side_;
    std::int32_t dests_[kBlockSamples];
    std::int64_t count_ = 0;
    std::int64_t row_ = 0, column_ = 0; // where the block starts
};

} // namespace

CellFootprint deformCell(const GridSampling& g, const SplatTarget& target, CellRef cell, FastKernel kind)
{
    assert(cellFits(g, cell));
    assert(target.work != nullptr && target.source != nullptr && target.mask != nullptr);
    // The terms are read once: what the cell writes follows from them, even
    // while a drag moves a point meanwhile.
    const CellTerms terms = gatherCellTerms(g, target.width, target.height, cell.col, cell.row);
    double tx[16];
    double ty[16];
    if (!exactTerms(terms, tx, ty)) {
        // Terms this far out are read again per sample: the whole picture may change.
        deformCellLiteral(g, target, cell);
        if (target.lowWork != nullptr) deformCellLiteral(g, lowPlanesOf(target), cell);
        CellFootprint whole;
        whole.rects[whole.count++] =
            PixelRect{0, 0, static_cast<std::int32_t>(target.width), static_cast<std::int32_t>(target.height)};
        return whole;
    }
    const ControlPoint& o = g.point(cell.col, cell.row);
    BlockGatherer blocks(target, o.x, o.y, std::int64_t{g.samplesPerCell()} + 1);
    forEachChunk(g, target.width, target.capacity, tx, ty, pickChunkKernel(kind),
                 [&](std::int32_t i, std::int32_t j0, int count, const Chunk& chunk) {
                     const std::int64_t src = (std::int64_t{o.y} + i) * target.width + o.x + j0;
                     std::int32_t* dests = blocks.room(i, j0, count);
                     std::memcpy(dests, chunk.dest, sizeof(std::int32_t) * static_cast<std::size_t>(count));
                     // A sample whose source lies outside the buffer lands nowhere.
                     if (src < 0 || src + count > target.capacity) [[unlikely]]
                         for (int l = 0; l < count; ++l)
                             if (src + l < 0 || src + l >= target.capacity) dests[l] = -1;
                 });
    blocks.flush();
    return footprintOf(terms, static_cast<std::int32_t>(target.width), static_cast<std::int32_t>(target.height));
}

CellFootprint deformCell(const GridSampling& g, const SplatTarget& target, CellRef cell)
{
    return deformCell(g, target, cell, FastKernel::Best);
}

} // namespace plexor
