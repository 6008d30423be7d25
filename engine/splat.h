#pragma once

#include <cstdint>
#include <cstring>

namespace plexor {

// Where one sample lands and where its colour comes from, with the buffers
// it writes. Indexes are linear pixel indexes, tested against the capacity
// only: a destination left of column 0 or right of the last column lands at
// the other end of a neighbouring row.
struct SplatTarget {
    std::uint8_t* work;
    std::uint8_t* mask;
    const std::uint8_t* source;
    std::int64_t capacity;
    std::int64_t width;
};

// Truncates an accumulated coordinate toward zero; false when it cannot be
// a pixel position at all.
inline bool truncateCoordinate(float v, std::int64_t& out) noexcept
{
    if (!(v > -2147483648.0f && v < 2147483648.0f)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

inline void copyPixel(std::uint8_t* to, const std::uint8_t* from) noexcept
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

// Marks the destination, fills the unmarked pixels of the 3 x 3 square
// around it with the source pixel, then writes the destination: the plain
// form, every position tested against the buffer and its mark on its own.
// Never inlined: the fast form below calls it only near the buffer's ends,
// and inlined there it crowds the registers of the fast path.
[[gnu::noinline]] inline void splatSamplePlain(const SplatTarget& t, std::int64_t xd, std::int64_t yd,
                                               std::int64_t src) noexcept
{
    const std::int64_t dest = yd * t.width + xd;
    if (dest < 0 || dest >= t.capacity || src < 0 || src >= t.capacity) return;
    t.mask[dest] = 1;
    for (std::int64_t a = -1; a <= 1; ++a) {
        for (std::int64_t b = -1; b <= 1; ++b) {
            const std::int64_t pos = (yd + a) * t.width + xd + b;
            if (pos >= 0 && pos < t.capacity && t.mask[pos] == 0) copyPixel(t.work + 3 * pos, t.source + 3 * src);
        }
    }
    copyPixel(t.work + 3 * dest, t.source + 3 * src);
}

// The same, faster where the whole square lies inside the buffer. All writes
// of one sample carry the same colour, so their order within the sample does
// not matter; the checks do.
inline void splatSample(const SplatTarget& t, std::int64_t xd, std::int64_t yd, std::int64_t src) noexcept
{
    const std::int64_t w = t.width;
    const std::int64_t dest = yd * w + xd;
    if (dest - w - 1 < 0 || dest + w + 2 >= t.capacity || src < 0 || src >= t.capacity) {
        splatSamplePlain(t, xd, yd, src);
        return;
    }
    // The whole square, and the pixel after it, lie inside the buffer: only
    // the marks decide. Each pixel takes one 4-byte store whose fourth byte
    // gives the next pixel back its own first byte, read before the row was
    // touched, so a marked neighbour stays as it was and an unmarked one is
    // written whole after. A marked pixel's store goes to a scratch word
    // instead, so that no branch depends on the marks.
    t.mask[dest] = 1;
    const std::uint8_t* from = t.source + 3 * src;
    const std::uint32_t colour = from[0] | (std::uint32_t{from[1]} << 8) | (std::uint32_t{from[2]} << 16);
    std::uint8_t scratch[4];
    for (std::int64_t m = dest - w - 1; m <= dest + w - 1; m += w) {
        std::uint8_t* px = t.work + 3 * m;
        const std::uint32_t next0 = px[3];
        const std::uint32_t next1 = px[6];
        const std::uint32_t next2 = px[9];
        const std::uint32_t words[3] = {colour | next0 << 24, colour | next1 << 24, colour | next2 << 24};
        for (int k = 0; k < 3; ++k) {
            std::uint8_t* to = t.mask[m + k] == 0 ? px + 3 * k : scratch;
            std::memcpy(to, &words[k], 4);
        }
    }
    std::uint8_t* at = t.work + 3 * dest;
    const std::uint32_t last = colour | std::uint32_t{at[3]} << 24;
    std::memcpy(at, &last, 4);
}

} // namespace plexor
