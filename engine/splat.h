#pragma once

#include <cstdint>
#include <cstring>

namespace plexor {

// Where one sample lands and where its colour comes from, with the buffers
// it writes. Indexes are linear pixel indexes, tested against the capacity
// only: a destination left of column 0 or right of the last column lands at
// the other end of a neighbouring row.
//
// The fast splats take it as a template parameter `Planes`: its methods
// below are all they know of the pixels, so a target that carries a second
// plane beside the colours (AlphaSplatTarget) gives it the same writes,
// chosen by the same marks, with no branch of its own.
struct SplatTarget {
    std::uint8_t* work;
    std::uint8_t* mask;
    const std::uint8_t* source;
    std::int64_t capacity;
    std::int64_t width;
    std::int64_t height;
    // A byte a pixel that travels with the colours, when the picture has
    // alpha; both null when it has none.
    std::uint8_t* workAlpha = nullptr;
    const std::uint8_t* sourceAlpha = nullptr;
    // A deep picture's low bytes, with marks of their own: splatted after
    // the high bytes with the same destinations (lowPlanesOf); all null for
    // an 8-bit picture.
    std::uint8_t* lowWork = nullptr;
    std::uint8_t* lowMask = nullptr;
    const std::uint8_t* lowSource = nullptr;
    std::uint8_t* lowWorkAlpha = nullptr;
    const std::uint8_t* lowSourceAlpha = nullptr;

    using Colour = std::uint32_t; // blue, green, red from the lowest byte up

    // The source pixel's colour. Every source but the last pixel of the
    // buffer has a byte after it to read along.
    Colour colourOf(std::int64_t src) const noexcept
    {
        const std::uint8_t* from = source + 3 * src;
        if (src + 1 >= capacity) return from[0] | (std::uint32_t{from[1]} << 8) | (std::uint32_t{from[2]} << 16);
        std::uint32_t word;
        std::memcpy(&word, from, 4);
        return word & 0xFFFFFF;
    }
    // Writes the colour at `pos` unless the pixel is marked, which gets its
    // own bytes back: each pixel is a 2-byte and a 1-byte store at the same
    // places whatever the mark, which the next sample reads straight from
    // the stores, and neither an address nor a branch waits on a mark.
    void fill(std::int64_t pos, std::uint32_t colour, bool marked) const noexcept
    {
        std::uint8_t* px = work + 3 * pos;
        std::uint16_t low;
        std::memcpy(&low, px, 2);
        const std::uint32_t own = low | std::uint32_t{px[2]} << 16;
        const std::uint32_t keep = 0u - std::uint32_t{marked};
        const std::uint32_t value = (own & keep) | (colour & ~keep);
        const auto newLow = static_cast<std::uint16_t>(value);
        std::memcpy(px, &newLow, 2);
        px[2] = static_cast<std::uint8_t>(value >> 16);
    }
    // Writes the pixel's own bytes, and no others, the same way.
    void write(std::int64_t pos, std::uint32_t colour) const noexcept
    {
        std::uint8_t* px = work + 3 * pos;
        const auto low = static_cast<std::uint16_t>(colour);
        std::memcpy(px, &low, 2);
        px[2] = static_cast<std::uint8_t>(colour >> 16);
    }
    // Writes the three pixels from `pos` on, marked or not, as an 8-byte and
    // a 1-byte store: their own bytes and no others, none of them read.
    void fillThree(std::int64_t pos, std::uint32_t colour) const noexcept
    {
        const std::uint64_t c = colour;
        const std::uint64_t eight = c | c << 24 | c << 48;
        std::uint8_t* px = work + 3 * pos;
        std::memcpy(px, &eight, 8);
        px[8] = static_cast<std::uint8_t>(colour >> 16);
    }
    // Writes the 3 x 3 pixels whose top left is `top`, marked or not: three
    // rows of fillThree, from one address.
    void fillNine(std::int64_t top, std::uint32_t colour) const noexcept
    {
        const std::uint64_t c = colour;
        const std::uint64_t eight = c | c << 24 | c << 48;
        const auto last = static_cast<std::uint8_t>(colour >> 16);
        std::uint8_t* px = work + 3 * top;
        const std::int64_t row = 3 * width;
        for (int r = 0; r < 3; ++r) {
            std::memcpy(px + r * row, &eight, 8);
            px[r * row + 8] = last;
        }
    }
};

// Truncates an accumulated coordinate toward zero; false when it cannot be
// a pixel position at all.
inline bool truncateCoordinate(float v, std::int64_t& out) noexcept
{
    if (!(v > -2147483648.0f && v < 2147483648.0f)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

inline void copyPixel(const SplatTarget& t, std::int64_t to, std::int64_t from) noexcept
{
    t.work[3 * to] = t.source[3 * from];
    t.work[3 * to + 1] = t.source[3 * from + 1];
    t.work[3 * to + 2] = t.source[3 * from + 2];
    if (t.workAlpha != nullptr) t.workAlpha[to] = t.sourceAlpha[from];
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
            if (pos >= 0 && pos < t.capacity && t.mask[pos] == 0) copyPixel(t, pos, src);
        }
    }
    copyPixel(t, dest, src);
}

// The pixel index accumulated coordinates land on, or -1 when they land
// nowhere: they are no pixel position, or the index lies outside the
// buffer, whose capacity fits in 32 bits. `xd` is the truncated x, its
// column unless it lies outside the row.
inline std::int32_t pixelIndex(float x, float y, std::int64_t width, std::int64_t capacity, std::int64_t& xd) noexcept
{
    std::int64_t yd;
    if (!truncateCoordinate(x, xd) || !truncateCoordinate(y, yd)) return -1;
    const std::int64_t dest = yd * width + xd;
    if (dest < 0 || dest >= capacity) return -1;
    return static_cast<std::int32_t>(dest);
}

// The pixel index a sample lands on, as pixelIndex, but -1 too where its
// source lies outside the buffer.
inline std::int32_t sampleDestination(float x, float y, std::int64_t src, std::int64_t width, std::int64_t capacity,
                                      std::int64_t& xd) noexcept
{
    const std::int32_t dest = pixelIndex(x, y, width, capacity, xd);
    return src < 0 || src >= capacity ? -1 : dest;
}

// The splat of a sample whose whole square lies inside the buffer: only the
// marks decide. All writes of one sample carry the same colour, so their
// order within the sample does not matter.
template <class Planes>
inline void splatInside(const Planes& t, std::int64_t dest, std::int64_t src) noexcept
{
    const std::int64_t w = t.width;
    t.mask[dest] = 1;
    const auto colour = t.colourOf(src);
#pragma GCC unroll 3
    for (std::int64_t row = dest - w - 1; row <= dest + w - 1; row += w) {
        const std::uint8_t* marks = t.mask + row;
        t.fill(row, colour, marks[0] != 0);
        t.fill(row + 1, colour, marks[1] != 0);
        t.fill(row + 2, colour, marks[2] != 0);
    }
    t.write(dest, colour);
}

// Whether the square around `dest` lies inside the buffer.
inline bool squareInside(std::int64_t dest, std::int64_t width, std::int64_t capacity) noexcept
{
    return dest - width - 1 >= 0 && dest + width + 1 < capacity;
}

// splatSamplePlain's result, faster where the whole square lies inside the
// buffer; the colours only.
inline void splatSample(const SplatTarget& t, std::int64_t xd, std::int64_t yd, std::int64_t src) noexcept
{
    const std::int64_t dest = yd * t.width + xd;
    if (!squareInside(dest, t.width, t.capacity) || src < 0 || src >= t.capacity) {
        splatSamplePlain(t, xd, yd, src);
        return;
    }
    splatInside(t, dest, src);
}

} // namespace plexor
