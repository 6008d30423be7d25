#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/splat_band.h"

namespace plexor {

// One sample splatted within a band, whatever its place: fast where its
// square and the byte after it lie in the band and the buffer.
template <class Planes>
inline void splatInBand(const Planes& t, SplatBand band, std::int64_t dest, std::int64_t src) noexcept
{
    const std::int64_t w = t.width;
    if (band.whole(w)) {
        if (squareInside(dest, w, t.capacity))
            splatInside(t, dest, src);
        else
            splatClipped(t, band, dest, src);
        return;
    }
    const std::int64_t column = dest % w;
    if (column > band.first && column + 2 < band.last && squareInside(dest, w, t.capacity))
        splatInside(t, dest, src);
    else if ((column + 1 >= band.first && column - 1 < band.last) || column == 0 || column + 1 == w)
        splatClipped(t, band, dest, src);
}

// What a run sets aside: the rows of pixels its squares cover.
struct RunScratch {
    static constexpr int kMaxSamples = 64;
    static constexpr int kMaxRows = 5;
    static constexpr int kMaxColumns = 96;
    std::uint8_t rows[kMaxRows][3 * kMaxColumns];
};

// Splats a run of samples in order, sample s landing at dests[s] (-1:
// nowhere) from source pixel src + s, writing only the band's pixels, with
// the result of one splat after another.
//
// Where every square of the run lies in a few rows inside the band and the
// buffer, it does this with far fewer writes. What the run leaves at a
// pixel marked before it is that pixel as it was, or the last destination
// of the run there; at any other pixel, the last destination there, or else
// the last fill there. So the run's pixels are set aside, every fill is
// written whole, in order, the pixels marked before the run are put back,
// and then the destinations are written and marked, in order.
template <class Planes>
void splatRun(const Planes& t, SplatBand band, const std::int32_t* dests, std::int64_t src, int count,
              RunScratch& scratch) noexcept
{
    const std::int64_t w = t.width;
    std::int64_t lowest = t.capacity;
    std::int64_t highest = -1;
    for (int s = 0; s < count; ++s) {
        if (dests[s] < 0) continue;
        lowest = std::min<std::int64_t>(lowest, dests[s]);
        highest = std::max<std::int64_t>(highest, dests[s]);
    }
    if (highest < 0) return;
    const std::int64_t top = lowest / w;
    const std::int64_t bottom = highest / w;
    std::int64_t left = w;
    std::int64_t right = -1;
    if (count <= RunScratch::kMaxSamples && bottom - top + 3 <= RunScratch::kMaxRows) {
        for (int s = 0; s < count; ++s) {
            if (dests[s] < 0) continue;
            const std::int64_t offset = dests[s] - top * w;
            const std::int64_t column = offset - ((offset >= w) + (offset >= 2 * w)) * w;
            left = std::min(left, column);
            right = std::max(right, column);
        }
    }
    // The box of rows top - 1 .. bottom + 1 and columns left - 1 .. right + 1.
    const std::int64_t columns = right - left + 3;
    if (right < 0 || columns > RunScratch::kMaxColumns || left - 1 < band.first || right + 1 >= band.last || top < 1 ||
        (bottom + 1) * w + right + 1 >= t.capacity) {
        for (int s = 0; s < count; ++s)
            if (dests[s] >= 0) splatInBand(t, band, dests[s], src + s);
        return;
    }
    const std::int64_t rows = bottom - top + 3;
    const std::int64_t corner = (top - 1) * w + left - 1;
    for (std::int64_t r = 0; r < rows; ++r) t.saveRow(corner + r * w, columns, scratch.rows[r]);
    for (int s = 0; s < count; ++s) {
        if (dests[s] >= 0) t.fillSquare(dests[s], t.colourOf(src + s));
    }
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::int64_t start = corner + r * w;
        const std::uint8_t* marks = t.mask + start;
        std::int64_t c = 0;
        // Eight marks at a time: most words hold none, or a few.
        for (; c + 8 <= columns; c += 8) {
            std::uint64_t word;
            std::memcpy(&word, marks + c, 8);
            while (word != 0) {
                const int byte = __builtin_ctzll(word) / 8;
                t.restore(start + c + byte, scratch.rows[r] + 3 * (c + byte));
                word &= ~(std::uint64_t{0xFF} << (8 * byte));
            }
        }
        for (; c < columns; ++c)
            if (marks[c] != 0) t.restore(start + c, scratch.rows[r] + 3 * c);
    }
    for (int s = 0; s < count; ++s) {
        if (dests[s] < 0) continue;
        t.mask[dests[s]] = 1;
        t.write(dests[s], t.colourOf(src + s));
    }
}

} // namespace plexor
