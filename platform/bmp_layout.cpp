#include "platform/bmp_layout.h"

#include <algorithm>
#include <limits>

#include "platform/bmp_colour_masks.h"
#include "platform/bmp_colour_table.h"
#include "platform/bmp_file_header.h"
#include "platform/dib_header.h"
#include "platform/picture_error.h"

namespace plexor {

namespace {

void checkCompression(const DibHeader& info)
{
    const std::uint16_t bits = info.bitCount;
    switch (info.compression) {
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
    throwBitmapInvalid();
}

// Width and height as the picture has them; the height's sign gives the order.
void readSize(const DibHeader& info, BmpLayout& layout)
{
    if (info.width <= 0 || info.height == 0 || info.height == std::numeric_limits<std::int32_t>::min())
        throwBitmapInvalid();
    layout.width = info.width;
    layout.topDown = info.height < 0;
    layout.height = layout.topDown ? -info.height : info.height;
    // Run-length data is always stored from the bottom row up.
    if (layout.topDown && layout.compression != kBmpRgb) throwBitmapInvalid();
    if (static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(layout.height) > kMaxBitmapPixels)
        throwBitmapInvalid();
}

} // namespace

BmpLayout BmpLayout::read(std::span<const std::uint8_t> file)
{
    const BmpFileHeader fileHeader = BmpFileHeader::read(file);
    const DibHeader info = DibHeader::read(file, BmpFileHeader::kSize);
    if (info.planes != 1 || !isSupportedBitCount(info.bitCount)) throwBitmapInvalid();
    // The core header knows no direct colour but 24 bits.
    if (info.isCore() && (info.bitCount == 16 || info.bitCount == 32)) throwBitmapInvalid();
    checkCompression(info);

    BmpLayout layout;
    layout.compression = (info.compression == kBmpRle8 || info.compression == kBmpRle4) ? info.compression : kBmpRgb;
    readSize(info, layout);
    layout.format.bitsPerPixel = info.bitCount;
    layout.format.coreHeader = info.isCore();

    std::size_t cursor = BmpFileHeader::kSize + info.size;
    if (layout.format.masked()) readBmpColourMasks(file, info, cursor, layout.format);

    // The pixel data never starts inside the headers or the masks after them.
    const std::size_t declaredOffset = fileHeader.pixelOffset;
    if (declaredOffset < cursor) throwBitmapInvalid();
    if (layout.format.indexed()) {
        const std::uint64_t limit = std::uint64_t{1} << info.bitCount;
        const std::uint64_t declared = (info.isCore() || info.coloursUsed == 0) ? limit : info.coloursUsed;
        const std::size_t entry = bmpTableEntryBytes(info.isCore());
        const std::uint64_t available = (declaredOffset - cursor) / entry;
        // A pixel offset that falls inside the table cuts it short: writers
        // leave out the entries no pixel uses. A table longer than the bit
        // count can index is whole only when the rows start after it; its
        // extra entries are then passed over.
        if (declared > limit && declared > available) throwBitmapInvalid();
        const std::uint64_t count = std::min({declared, available, limit});
        layout.format.colourTable = readBmpColourTable(file, cursor, static_cast<std::size_t>(count), info.isCore());
    }

    layout.pixelOffset = declaredOffset;
    if (layout.pixelOffset > file.size()) throwReadError();
    const std::size_t available = file.size() - layout.pixelOffset;
    if (layout.compression != kBmpRgb) {
        layout.pixelBytes = available;
        return layout;
    }
    const std::uint64_t rows = paddedRowBytes(static_cast<std::uint64_t>(layout.width), info.bitCount) *
                               static_cast<std::uint64_t>(layout.height);
    if (rows > available) throwReadError();
    layout.pixelBytes = static_cast<std::size_t>(rows);
    return layout;
}

} // namespace plexor
