#pragma once

#include <cstdint>
#include <cstring>

namespace plexor {

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

} // namespace plexor
