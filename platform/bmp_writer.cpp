#include "platform/bmp_writer.h"

#include <cstring>

#include "platform/bmp_colour_masks.h"
#include "platform/bmp_colour_table.h"
#include "platform/bmp_file_header.h"
#include "platform/bmp_info_header.h"
#include "platform/little_endian.h"

namespace plexor {

namespace {

// The core header holds sizes of 16 bits and knows no direct colour but 24.
bool FitsCoreHeader(const TBitmap& bitmap) noexcept
{
    const std::uint16_t bits = bitmap.Format().BitsPerPixel;
    return bitmap.Width() <= 0xFFFF && bitmap.Height() <= 0xFFFF && bits != 16 && bits != 32;
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const TBitmap& bitmap)
{
    if (bitmap.Empty()) return {};
    const PixelFormat& format = bitmap.Format();
    const bool core = format.CoreHeader && FitsCoreHeader(bitmap);
    const bool bitfields = format.Masked() && (format.UsesBitfields || HasCustomMasks(format));
    const std::size_t maskBytes = bitfields ? 12 : 0;
    const std::size_t tableBytes = format.Indexed() ? format.ColourTable.size() * BmpTableEntryBytes(core) : 0;
    const std::span<const std::uint8_t> rows = bitmap.BottomUpRows();

    BmpInfoHeader info;
    info.Size = core ? BmpInfoHeader::kCoreSize : BmpInfoHeader::kInfoSize;
    info.Width = bitmap.Width();
    info.Height = bitmap.Height();
    info.Planes = 1;
    info.BitCount = format.BitsPerPixel;
    info.Compression = bitfields ? kBmpBitfields : kBmpRgb;
    info.SizeImage = static_cast<std::uint32_t>(rows.size());
    info.ClrUsed = format.Indexed() ? static_cast<std::uint32_t>(format.ColourTable.size()) : 0;

    BmpFileHeader fileHeader;
    const std::size_t pixelOffset = BmpFileHeader::kSize + info.Size + maskBytes + tableBytes;
    fileHeader.PixelOffset = static_cast<std::uint32_t>(pixelOffset);
    fileHeader.FileSize = static_cast<std::uint32_t>(pixelOffset + rows.size());

    std::vector<std::uint8_t> file(pixelOffset + rows.size());
    std::uint8_t* out = file.data();
    fileHeader.Write(out);
    out += BmpFileHeader::kSize;
    info.Write(out);
    out += info.Size;
    if (bitfields) {
        StoreU32(out, format.RedMask);
        StoreU32(out + 4, format.GreenMask);
        StoreU32(out + 8, format.BlueMask);
        out += maskBytes;
    }
    if (format.Indexed()) out += WriteBmpColourTable(format.ColourTable, core, out);
    std::memcpy(out, rows.data(), rows.size());
    return file;
}

} // namespace plexor
