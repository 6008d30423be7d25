#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace plexor {

// How a bitmap stores its pixels: what the file it came from had. A bitmap
// keeps this format for its whole life; pixels written into it are converted.
struct PixelFormat {
    // 1, 4, 8, 16, 24 or 32.
    std::uint16_t bitsPerPixel = 24;
    // For 1, 4 and 8 bits: the table the pixel values index, at most
    // 2^bitsPerPixel entries. It may be shorter than the values in use; a value
    // past its end reads as black. Empty for direct colour.
    std::vector<Colour> colourTable;
    // For 16 and 32 bits: where each channel sits in a pixel. Without bit
    // fields these hold the default layout (5-5-5 or 8-8-8). Each colour mask
    // is one run of set bits; the alpha mask may be 0.
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    // The file declared its masks (bit-field compression).
    bool usesBitfields = false;
    // The file had the 12-byte core header with 3-byte table entries.
    bool coreHeader = false;

    bool operator==(const PixelFormat&) const = default;

    bool indexed() const noexcept { return bitsPerPixel <= 8; }
    bool masked() const noexcept { return bitsPerPixel == 16 || bitsPerPixel == 32; }

    // 24 bits, blue-green-red, no table.
    static PixelFormat rgb24();
    // Direct colour of 16 or 32 bits in the default layout, no bit fields.
    static PixelFormat defaultMasked(std::uint16_t bitsPerPixel);
    // 1, 4 or 8 bits with the given table.
    static PixelFormat indexed(std::uint16_t bitsPerPixel, std::vector<Colour> table);
};

// The largest picture any bitmap may hold, in pixels. Checked before any pixel
// memory is obtained, so no header can make the program allocate without bound.
inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;

bool isSupportedBitCount(std::uint32_t bitsPerPixel) noexcept;

// Bytes of one stored row: the row's bits rounded up to whole 32-bit words.
constexpr std::uint64_t paddedRowBytes(std::uint64_t width, std::uint32_t bitsPerPixel) noexcept
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Default channel masks of a direct-colour pixel of 16 or 32 bits.
void defaultMasks(std::uint16_t bitsPerPixel, std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) noexcept;

// A format a bitmap can hold: a supported bit count, a table no longer than
// the bit count allows, valid masks for direct colour.
bool isValidFormat(const PixelFormat& format) noexcept;

} // namespace plexor
