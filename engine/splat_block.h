#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/splat_band.h"
#include "engine/splat_square.h"

namespace plexor {

// The samples of a block: rows of `perRow` samples from the top left of
// some of a cell's rows, sample j of row r landing at dests[r * perRow + j]
// (-1: nowhere) from source pixel `source` + r * `sourceStride` + j.
struct SplatBlock {
    const std::int32_t* dests;
    std::int64_t rows;
    std::int64_t perRow;
    std::int64_t source;
    std::int64_t sourceStride;

    // Calls visit(dest, src) for every sample that lands, in order.
    template <class Visit>
    void forEachSample(Visit&& visit) const
    {
        for (std::int64_t r = 0; r < rows; ++r) {
            const std::int32_t* row = dests + r * perRow;
            const std::int64_t src = source + r * sourceStride;
            for (std::int64_t j = 0; j < perRow; ++j)
                if (row[j] >= 0) visit(std::int64_t{row[j]}, src + j);
        }
    }
};

// The fills, then the destinations, of a block over the whole width, or one
// whose squares all lie inside its band: a square that wraps a row is no
// different from any other, so only the buffer's ends need a look, and one
// comparison a sample finds both them and the samples that land nowhere.
// The target and the block are copied, so that no store to the pixels can
// be taken for a change of theirs.
template <bool kWholeWidth, class Planes>
void splatWholeRows(const Planes& target, SplatBand band, const SplatBlock& samples) noexcept
{
    const Planes t = target;
    const SplatBlock block = samples;
    const std::int64_t w = t.width;
    // dest - w - 1 lies below `room`, unsigned, where squareReadable(dest).
    const auto room = static_cast<std::uint64_t>(std::max<std::int64_t>(t.capacity - 2 * w - 3, 0));
    for (std::int64_t r = 0; r < block.rows; ++r) {
        const std::int32_t* dests = block.dests + r * block.perRow;
        const std::int64_t src = block.source + r * block.sourceStride;
        for (std::int64_t j = 0; j < block.perRow; ++j) {
            const std::int64_t dest = dests[j];
            if (static_cast<std::uint64_t>(dest - w - 1) < room) [[likely]]
                fillSquare<kWholeWidth>(t, target, dest, t.colourOf(src + j));
            else if (dest >= 0)
                fillClipped(target, band, dest, target.colourOf(src + j));
        }
    }
    for (std::int64_t r = 0; r < block.rows; ++r) {
        const std::int32_t* dests = block.dests + r * block.perRow;
        const std::int64_t src = block.source + r * block.sourceStride;
        for (std::int64_t j = 0; j < block.perRow; ++j) {
            const std::int64_t dest = dests[j];
            if (dest < 0) continue;
            t.mask[dest] = 1;
            t.write(dest, t.colourOf(src + j));
        }
    }
}

// Splats a block's samples in order, with the result of one splat after
// another, at the band's pixels only. `inside`: every square lies inside
// the band, where columns need not be looked at.
//
// First come all the fills, each only where its pixel was not marked before
// the block, then all the destinations, in order, each marked. One splat after
// another leaves at a pixel the last destination there, whatever fills came
// before it, and with none the last fill there, unless the pixel was marked
// before; and so does this, with no mark read that the block itself sets.
template <class Planes>
void splatBlock(const Planes& t, SplatBand band, const SplatBlock& block, bool inside) noexcept
{
    const std::int64_t w = t.width;
    if (band.whole(w)) {
        splatWholeRows<true>(t, band, block);
        return;
    }
    if (inside) {
        splatWholeRows<false>(t, band, block);
        return;
    }
    block.forEachSample([&](std::int64_t dest, std::int64_t src) {
        const std::int64_t column = dest % w;
        if (column > band.first && column + 1 < band.last && squareReadable(dest, w, t.capacity))
            fillSquare<false>(t, t, dest, t.colourOf(src));
        else if ((column + 1 >= band.first && column - 1 < band.last) || column == 0 || column + 1 == w)
            fillClipped(t, band, dest, t.colourOf(src));
    });
    block.forEachSample([&](std::int64_t dest, std::int64_t src) {
        if (!band.owns(dest % w)) return;
        t.mask[dest] = 1;
        t.write(dest, t.colourOf(src));
    });
}

} // namespace plexor
