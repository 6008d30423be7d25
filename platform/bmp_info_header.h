#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace plexor {

// How the pixel rows of a bitmap file are stored.
enum BmpCompression : std::uint32_t {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitfields = 3,
    // Bit fields with an alpha mask, four masks after the 40-byte header.
    kBmpAlphaBitfields = 6,
};

// The information header that follows the file header, in any of its sizes:
// the 12-byte core header (16-bit sizes, no compression) or the 40-byte header
// and its successors of 52, 56, 108 and 124 bytes, which add colour masks and
// fields this program does not use. Read into one shape whatever its size.
struct BmpInfoHeader {
    static constexpr std::uint32_t kCoreSize = 12;
    static constexpr std::uint32_t kInfoSize = 40;
    // Header sizes that hold the colour masks, and the alpha mask too.
    static constexpr std::uint32_t kRgbMasksSize = 52;
    static constexpr std::uint32_t kAlphaMaskSize = 56;
    static constexpr std::uint32_t kV4Size = 108;
    static constexpr std::uint32_t kV5Size = 124;

    std::uint32_t Size = kInfoSize;
    std::int32_t Width = 0;
    // Negative for rows stored top to bottom.
    std::int32_t Height = 0;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = kBmpRgb;
    std::uint32_t SizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
    // The masks a header of kRgbMasksSize bytes or more carries; 0 otherwise.
    std::uint32_t RedMask = 0;
    std::uint32_t GreenMask = 0;
    std::uint32_t BlueMask = 0;
    // From a header of kAlphaMaskSize bytes or more; 0 otherwise.
    std::uint32_t AlphaMask = 0;

    bool IsCore() const noexcept { return Size == kCoreSize; }
    bool HasRgbMasks() const noexcept { return Size >= kRgbMasksSize; }
    bool HasAlphaMask() const noexcept { return Size >= kAlphaMaskSize; }

    static bool IsKnownSize(std::uint32_t size) noexcept;

    // Reads the header that begins at `offset` of `file`. Throws PictureError:
    // "Bitmap image is not valid" for a size no header has, "Stream read error"
    // when the file ends inside the header. The fields are not yet checked.
    static BmpInfoHeader Read(std::span<const std::uint8_t> file, std::size_t offset);

    // Writes Size bytes: the core header or the 40-byte header (larger sizes
    // are not written).
    void Write(std::uint8_t* out) const noexcept;
};

} // namespace plexor
