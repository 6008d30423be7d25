#include "platform/bmp_writer.h"

#include <cstring>

#include "platform/bmp_colour_masks.h"
#include "platform/bmp_colour_table.h"
#include "platform/bmp_file_header.h"
#include "platform/dib_header.h"
#include "platform/little_endian.h"

namespace plexor {

namespace {

// The core header holds sizes of 16 bits and knows no direct colour but 24.
bool fitsCoreHeader(const Bitmap& bitmap) noexcept
{
    const std::uint16_t bits = bitmap.format().bitsPerPixel;
    return bitmap.width() <= 0xFFFF && bitmap.height() <= 0xFFFF && bits != 16 && bits != 32;
}

} // namespace

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap)
{
    if (bitmap.empty()) return {};
    const PixelFormat& format = bitmap.format();
    const bool core = format.coreHeader && fitsCoreHeader(bitmap);
    const bool bitfields = format.masked() && (format.usesBitfields || hasCustomMasks(format));
    const std::size_t maskBytes = bitfields ? 12 : 0;
    const std::size_t tableBytes = format.indexed() ? format.colourTable.size() * bmpTableEntryBytes(core) : 0;
    const std::span<const std::uint8_t> rows = bitmap.bottomUpRows();

    DibHeader info;
    info.size = core ? DibHeader::kCoreSize : DibHeader::kInfoSize;
    info.width = bitmap.width();
    info.height = bitmap.height();
    info.planes = 1;
    info.bitCount = format.bitsPerPixel;
    info.compression = bitfields ? kBmpBitfields : kBmpRgb;
    info.imageBytes = static_cast<std::uint32_t>(rows.size());
    info.coloursUsed = format.indexed() ? static_cast<std::uint32_t>(format.colourTable.size()) : 0;

    BmpFileHeader fileHeader;
    const std::size_t pixelOffset = BmpFileHeader::kSize + info.size + maskBytes + tableBytes;
    fileHeader.pixelOffset = static_cast<std::uint32_t>(pixelOffset);
    fileHeader.fileSize = static_cast<std::uint32_t>(pixelOffset + rows.size());

    std::vector<std::uint8_t> file(pixelOffset + rows.size());
    std::uint8_t* out = file.data();
    fileHeader.write(out);
    out += BmpFileHeader::kSize;
    info.write(out);
    out += info.size;
    if (bitfields) {
        storeU32(out, format.redMask);
        storeU32(out + 4, format.greenMask);
        storeU32(out + 8, format.blueMask);
        out += maskBytes;
    }
    if (format.indexed()) out += writeBmpColourTable(format.colourTable, core, out);
    std::memcpy(out, rows.data(), rows.size());
    return file;
}

} // namespace plexor
