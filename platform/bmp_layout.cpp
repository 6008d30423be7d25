#include "platform/bmp_layout.h"

#include <algorithm>
#include <limits>

#include "platform/bmp_colour_masks.h"
#include "platform/bmp_colour_table.h"
#include "platform/bmp_file_header.h"
#include "platform/bmp_info_header.h"
#include "platform/picture_error.h"

namespace plexor {

namespace {

void CheckCompression(const BmpInfoHeader& info)
{
    const std::uint16_t bits = info.BitCount;
    switch (info.Compression) {
    case kBmpRgb: return;
    case kBmpRle8:
        if (bits == 8) return;
        break;
    case kBmpRle4:
        if (bits == 4) return;
        break;
    case kBmpBitfields:
    case kBmpAlphaBitfields:
        if (bits == 16 || bits == 32) return;
        break;
    default: break;
    }
    ThrowBitmapInvalid();
}

// Width and height as the picture has them; the height's sign gives the order.
void ReadSize(const BmpInfoHeader& info, BmpLayout& layout)
{
    if (info.Width <= 0 || info.Height == 0 || info.Height == std::numeric_limits<std::int32_t>::min())
        ThrowBitmapInvalid();
    layout.Width = info.Width;
    layout.TopDown = info.Height < 0;
    layout.Height = layout.TopDown ? -info.Height : info.Height;
    // Run-length data is always stored from the bottom row up.
    if (layout.TopDown && layout.Compression != kBmpRgb) ThrowBitmapInvalid();
    if (static_cast<std::uint64_t>(layout.Width) * static_cast<std::uint64_t>(layout.Height) > kMaxBitmapPixels)
        ThrowBitmapInvalid();
}

} // namespace

BmpLayout BmpLayout::Read(std::span<const std::uint8_t> file)
{
    const BmpFileHeader fileHeader = BmpFileHeader::Read(file);
    const BmpInfoHeader info = BmpInfoHeader::Read(file, BmpFileHeader::kSize);
    if (info.Planes != 1 || !IsSupportedBitCount(info.BitCount)) ThrowBitmapInvalid();
    // The core header knows no direct colour but 24 bits.
    if (info.IsCore() && (info.BitCount == 16 || info.BitCount == 32)) ThrowBitmapInvalid();
    CheckCompression(info);

    BmpLayout layout;
    layout.Compression = (info.Compression == kBmpRle8 || info.Compression == kBmpRle4) ? info.Compression : kBmpRgb;
    ReadSize(info, layout);
    layout.Format.BitsPerPixel = info.BitCount;
    layout.Format.CoreHeader = info.IsCore();

    std::size_t cursor = BmpFileHeader::kSize + info.Size;
    if (layout.Format.Masked()) ReadBmpColourMasks(file, info, cursor, layout.Format);

    // The pixel data never starts inside the headers or the masks after them.
    const std::size_t declaredOffset = fileHeader.PixelOffset;
    if (declaredOffset < cursor) ThrowBitmapInvalid();
    if (layout.Format.Indexed()) {
        const std::uint64_t limit = std::uint64_t{1} << info.BitCount;
        const std::uint64_t declared = (info.IsCore() || info.ClrUsed == 0) ? limit : info.ClrUsed;
        const std::size_t entry = BmpTableEntryBytes(info.IsCore());
        const std::uint64_t available = (declaredOffset - cursor) / entry;
        // A pixel offset that falls inside the table cuts it short: writers
        // leave out the entries no pixel uses. A table longer than the bit
        // count can index is whole only when the rows start after it; its
        // extra entries are then passed over.
        if (declared > limit && declared > available) ThrowBitmapInvalid();
        const std::uint64_t count = std::min({declared, available, limit});
        layout.Format.ColourTable = ReadBmpColourTable(file, cursor, static_cast<std::size_t>(count), info.IsCore());
    }

    layout.PixelOffset = declaredOffset;
    if (layout.PixelOffset > file.size()) ThrowReadError();
    const std::size_t available = file.size() - layout.PixelOffset;
    if (layout.Compression != kBmpRgb) {
        layout.PixelBytes = available;
        return layout;
    }
    const std::uint64_t rows = PaddedRowBytes(static_cast<std::uint64_t>(layout.Width), info.BitCount) *
                               static_cast<std::uint64_t>(layout.Height);
    if (rows > available) ThrowReadError();
    layout.PixelBytes = static_cast<std::size_t>(rows);
    return layout;
}

} // namespace plexor
