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

// Whether the square around `dest` and one mark after it lie inside the
// buffer: its marks are then read three to a row, four bytes at a time.
inline bool squareReadable(std::int64_t dest, std::int64_t width, std::int64_t capacity) noexcept
{
    return dest - width - 1 >= 0 && dest + width + 2 < capacity;
}

// The fills of a square with a marked pixel, whose marks are `top`, `middle`
// and `bottom`, three to a row: a row without a mark is written whole, and a marked pixel's
// write goes to the destination instead, which is written again once the
// fills are done; no pixel is read, and no branch waits on a single mark.
// Out of line: the squares of most blocks hold no mark.
template <class Planes>
[[gnu::noinline]] void fillMarked(const Planes& t, std::int64_t dest, typename Planes::Colour colour, std::uint32_t top,
                                  std::uint32_t middle, std::uint32_t bottom) noexcept
{
    const std::int64_t w = t.width;
    const std::uint32_t rows[3] = {top, middle, bottom};
#pragma GCC unroll 3
    for (std::int64_t row = 0; row < 3; ++row) {
        const std::int64_t pos = dest - w - 1 + row * w;
        const std::uint32_t marked = rows[row];
        if ((marked & 0xFFFFFF) == 0) {
            t.fillThree(pos, colour);
            continue;
        }
        t.write((marked & 0xFF) != 0 ? dest : pos, colour);
        t.write((marked & 0xFF00) != 0 ? dest : pos + 1, colour);
        t.write((marked & 0xFF0000) != 0 ? dest : pos + 2, colour);
    }
}

// The marks of the square whose top left is `marks`, each row's three in
// the low bytes of its word. With `kWholeWidth`, no other thread writes a
// mark meanwhile, and each row is read as one word, the mark after it too;
// else exactly the square's own marks are read, which lie in the band.
template <bool kWholeWidth>
inline void squareMarks(const std::uint8_t* marks, std::int64_t width, std::uint32_t* rows) noexcept
{
#pragma GCC unroll 3
    for (int row = 0; row < 3; ++row) {
        const std::uint8_t* at = marks + row * width;
        if constexpr (kWholeWidth) {
            std::memcpy(&rows[row], at, 4);
        } else {
            std::uint16_t pair;
            std::memcpy(&pair, at, 2);
            rows[row] = pair | std::uint32_t{at[2]} << 16;
        }
    }
}

// The fills of a sample whose square lies inside the band and, with one mark
// after it, inside the buffer, at the pixels not marked, before the block's
// destinations are written: most squares hold no marked pixel, and are
// written whole, no pixel read. `target` is what `t` was copied from.
template <bool kWholeWidth, class Planes>
inline void fillSquare(const Planes& t, const Planes& target, std::int64_t dest,
                       typename Planes::Colour colour) noexcept
{
    const std::int64_t w = t.width;
    std::uint32_t rows[3];
    squareMarks<kWholeWidth>(t.mask + dest - w - 1, w, rows);
    if (((rows[0] | rows[1] | rows[2]) & 0xFFFFFF) != 0) [[unlikely]] {
        fillMarked(target, dest, colour, rows[0], rows[1], rows[2]);
        return;
    }
    t.fillNine(dest - w - 1, colour);
}

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
