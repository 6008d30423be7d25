#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace plexor {

// How the pixel rows of a bitmap file are stored: the values of its
// compression field that this program knows of. The field may hold others.
inline constexpr std::uint32_t kBmpRgb = 0;
inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitfields = 3;
// Bit fields with an alpha mask, four masks after the 40-byte header.
inline constexpr std::uint32_t kBmpAlphaBitfields = 6;

// The information header that follows the file header, in any of its sizes:
// the 12-byte core header (16-bit sizes, no compression) or the 40-byte header
// and its successors of 52, 56, 108 and 124 bytes, which add colour masks and
// fields this program does not use. Read into one shape whatever its size.
struct DibHeader {
    static constexpr std::uint32_t kCoreSize = 12;
    static constexpr std::uint32_t kInfoSize = 40;
    // Header sizes that hold the colour masks, and the alpha mask too.
    static constexpr std::uint32_t kRgbMasksSize = 52;
    static constexpr std::uint32_t kAlphaMaskSize = 56;
    static constexpr std::uint32_t kV4Size = 108;
    static constexpr std::uint32_t kV5Size = 124;

    std::uint32_t size = kInfoSize;
    std::int32_t width = 0;
    // Negative for rows stored top to bottom.
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBmpRgb;
    std::uint32_t imageBytes = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t importantColours = 0;
    // The red, green and blue masks a header of kRgbMasksSize bytes or more
    // carries, and the alpha mask of one of kAlphaMaskSize or more; 0 where
    // the header has none.
    std::uint32_t masks[4] = {0, 0, 0, 0};

    bool isCore() const noexcept { return size == kCoreSize; }
    bool hasRgbMasks() const noexcept { return size >= kRgbMasksSize; }
    bool hasAlphaMask() const noexcept { return size >= kAlphaMaskSize; }

    static bool isKnownSize(std::uint32_t size) noexcept;

    // The 40-byte header of width x height 24-bit uncompressed rows, the top
    // row first: a block of rows that the pixel transfers take.
    static DibHeader topDownRows24(std::int32_t width, std::int32_t height) noexcept
    {
        DibHeader header;
        header.width = width;
        header.height = -height;
        header.bitCount = 24;
        return header;
    }

    // Reads the header that begins at `offset` of `file`. Throws PictureError:
    // "Bitmap image is not valid" for a size no header has, "Stream read error"
    // when the file ends inside the header. The fields are not yet checked.
    static DibHeader read(std::span<const std::uint8_t> file, std::size_t offset);

    // Writes Size bytes: the core header or the 40-byte header (larger sizes
    // are not written).
    void write(std::uint8_t* out) const noexcept;
};

} // namespace plexor
