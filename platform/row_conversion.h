#pragma once

#include <array>
#include <cstdint>

#include "platform/colour_mask.h"
#include "platform/little_endian.h"
#include "platform/nearest_colour.h"
#include "platform/pixel_format.h"

namespace plexor {

// Turns rows of a bitmap's own format into 24-bit rows (blue, green, red).
// Table values past the end of the table read as black. Built once per
// transfer; expanding a row allocates nothing.
class RowExpander {
public:
    explicit RowExpander(const PixelFormat& format);

    void expand(const std::uint8_t* source, std::uint8_t* bgr, std::int32_t width) const noexcept;

private:
    template <bool kTables>
    void expandMasked(const std::uint8_t* source, std::uint8_t* bgr, std::int32_t width) const noexcept;

    // Channels up to this width are read through tables; wider ones by division.
    static constexpr int kTableBits = 12;

    std::uint16_t bits_;
    std::array<std::uint8_t, 256 * 3> palette_{};
    ChannelMask red_, green_, blue_;
    bool tables_ = false;
    std::array<std::array<std::uint8_t, std::size_t{1} << kTableBits>, 3> channelTables_{};
};

// Turns 24-bit rows (blue, green, red) into a bitmap's own format: the nearest
// table colour for a colour table, channels scaled into the masks (alpha bits
// all set) for direct colour. Packing a row allocates nothing.
// Copies one row of pixel bytes past the cache, for rows that are not read
// again soon. Callers finish a run of such copies with streamingDone().
void copyRowStreaming(std::uint8_t* target, const std::uint8_t* source, std::size_t bytes) noexcept;
inline void streamingDone() noexcept
{
    __builtin_ia32_sfence();
}

class RowPacker {
public:
    // `matcher` serves the format's table; it may be null for direct colour.
    RowPacker(const PixelFormat& format, NearestColourCache* matcher);

    void pack(const std::uint8_t* bgr, std::uint8_t* target, std::int32_t width) noexcept;

private:
    std::uint16_t bits_;
    NearestColourCache* matcher_;
    std::array<std::array<std::uint32_t, 256>, 3> channelValues_{};
    std::uint32_t alphaBits_ = 0;
};

// The stored value of one pixel of colour (red, green, blue) in `format`: a
// table index or the packed direct-colour value. Not for hot loops.
std::uint32_t encodePixel(const PixelFormat& format, std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept;

// Writes the stored value `value` as pixel x of a row of `bitsPerPixel` bits.
// Inline, so that a constant bit count leaves no branch in a caller's loop.
inline void storePixel(std::uint8_t* row, std::int32_t x, std::uint16_t bitsPerPixel, std::uint32_t value) noexcept
{
    switch (bitsPerPixel) {
    case 1: {
        const int shift = 7 - (x & 7);
        std::uint8_t& byte = row[x >> 3];
        byte = static_cast<std::uint8_t>((byte & ~(1u << shift)) | ((value & 1u) << shift));
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        std::uint8_t& byte = row[x >> 1];
        byte = static_cast<std::uint8_t>((byte & ~(0xFu << shift)) | ((value & 0xFu) << shift));
        break;
    }
    case 8: row[x] = static_cast<std::uint8_t>(value); break;
    case 16: storeU16(row + std::size_t(x) * 2, static_cast<std::uint16_t>(value)); break;
    case 24: {
        std::uint8_t* p = row + std::size_t(x) * 3;
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        break;
    }
    case 32: storeU32(row + std::size_t(x) * 4, value); break;
    default: break;
    }
}

// Reads the stored value of pixel x of a row of `bitsPerPixel` bits.
inline std::uint32_t loadPixel(const std::uint8_t* row, std::int32_t x, std::uint16_t bitsPerPixel) noexcept
{
    switch (bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8: return row[x];
    case 16: return loadU16(row + std::size_t(x) * 2);
    case 24: {
        const std::uint8_t* p = row + std::size_t(x) * 3;
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    }
    case 32: return loadU32(row + std::size_t(x) * 4);
    default: return 0;
    }
}

} // namespace plexor
