#include "platform/bmp_reader.h"

#include <cstring>
#include <utility>

#include "platform/bmp_info_header.h"
#include "platform/bmp_layout.h"
#include "platform/bmp_rle.h"

namespace plexor {

namespace {

// Bytes of a file, beyond its pixel rows, that a bitmap may keep with the
// rows instead of copying them out.
constexpr std::size_t kMaxAdoptedOverhead = 64 * 1024;

TBitmap DecodeRle(const BmpLayout& layout, std::span<const std::uint8_t> file)
{
    TBitmap bitmap(layout.Width, layout.Height, layout.Format);
    DecodeBmpRle(file.subspan(layout.PixelOffset, layout.PixelBytes), bitmap);
    return bitmap;
}

TBitmap CopyRows(const BmpLayout& layout, std::span<const std::uint8_t> file)
{
    TBitmap bitmap =
        TBitmap::Adopt(layout.Width, layout.Height, layout.Format, ByteBuffer::Uninitialised(layout.PixelBytes), 0);
    const std::uint8_t* rows = file.data() + layout.PixelOffset;
    if (!layout.TopDown) {
        std::memcpy(bitmap.Row(bitmap.Height() - 1), rows, layout.PixelBytes);
        return bitmap;
    }
    const std::size_t stride = bitmap.Stride();
    for (std::int32_t y = 0; y < bitmap.Height(); ++y, rows += stride) std::memcpy(bitmap.Row(y), rows, stride);
    return bitmap;
}

} // namespace

TBitmap ReadBmp(std::span<const std::uint8_t> file)
{
    if (file.empty()) return TBitmap();
    const BmpLayout layout = BmpLayout::Read(file);
    if (layout.Compression != kBmpRgb) return DecodeRle(layout, file);
    return CopyRows(layout, file);
}

TBitmap ReadBmp(ByteBuffer file)
{
    if (file.empty()) return TBitmap();
    const BmpLayout layout = BmpLayout::Read(file.bytes());
    if (layout.Compression != kBmpRgb) return DecodeRle(layout, file.bytes());
    if (layout.TopDown || file.size() - layout.PixelBytes > kMaxAdoptedOverhead) return CopyRows(layout, file.bytes());
    return TBitmap::Adopt(layout.Width, layout.Height, layout.Format, std::move(file), layout.PixelOffset);
}

} // namespace plexor
