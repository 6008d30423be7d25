#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/splat_band.h"

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

// The fills of a sample whose square lies inside the band and the buffer, at
// the pixels not marked: most squares hold no marked pixel, and are written
// whole, no pixel read.
template <class Planes>
inline void fillSquare(const Planes& t, std::int64_t dest, typename Planes::Colour colour) noexcept
{
    const std::int64_t w = t.width;
    const std::uint8_t* marks = t.mask + dest - w - 1;
    std::uint16_t pairs[3];
    std::memcpy(&pairs[0], marks, 2);
    std::memcpy(&pairs[1], marks + w, 2);
    std::memcpy(&pairs[2], marks + 2 * w, 2);
    if ((pairs[0] | pairs[1] | pairs[2] | marks[2] | marks[w + 2] | marks[2 * w + 2]) == 0) {
        t.fillThree(dest - w - 1, colour);
        t.fillThree(dest - 1, colour);
        t.fillThree(dest + w - 1, colour);
        return;
    }
#pragma GCC unroll 3
    for (std::int64_t row = 0; row < 3; ++row) {
        t.fill(dest - w - 1 + row * w, colour, marks[row * w] != 0);
        t.fill(dest - w + row * w, colour, marks[row * w + 1] != 0);
        t.fill(dest - w + 1 + row * w, colour, marks[row * w + 2] != 0);
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
    const bool everyColumn = inside || band.whole(w);
    std::int64_t lowest = t.capacity;
    std::int64_t highest = -1;
    block.forEachSample([&](std::int64_t dest, std::int64_t) {
        lowest = std::min(lowest, dest);
        highest = std::max(highest, dest);
    });
    // Where every square lies inside the buffer and the band, only the marks
    // decide; most blocks are so.
    if (everyColumn && squareInside(lowest, w, t.capacity) && squareInside(highest, w, t.capacity)) {
        block.forEachSample([&](std::int64_t dest, std::int64_t src) { fillSquare(t, dest, t.colourOf(src)); });
    } else {
        block.forEachSample([&](std::int64_t dest, std::int64_t src) {
            if (everyColumn) {
                if (squareInside(dest, w, t.capacity))
                    fillSquare(t, dest, t.colourOf(src));
                else
                    fillClipped(t, band, dest, t.colourOf(src));
                return;
            }
            const std::int64_t column = dest % w;
            if (column > band.first && column + 1 < band.last && squareInside(dest, w, t.capacity))
                fillSquare(t, dest, t.colourOf(src));
            else if ((column + 1 >= band.first && column - 1 < band.last) || column == 0 || column + 1 == w)
                fillClipped(t, band, dest, t.colourOf(src));
        });
    }
    block.forEachSample([&](std::int64_t dest, std::int64_t src) {
        if (!everyColumn && !band.owns(dest % w)) return;
        t.mask[dest] = 1;
        t.write(dest, t.colourOf(src));
    });
}

} // namespace plexor
