#include "platform/bmp_reader.h"

#include <cstring>
#include <utility>

#include "platform/bmp_layout.h"
#include "platform/bmp_rle.h"
#include "platform/dib_header.h"

namespace plexor {

namespace {

// Bytes of a file, beyond its pixel rows, that a bitmap may keep with the
// rows instead of copying them out.
constexpr std::size_t kMaxAdoptedOverhead = 64 * 1024;

Bitmap decodeRle(const BmpLayout& layout, std::span<const std::uint8_t> file)
{
    Bitmap bitmap(layout.width, layout.height, layout.format);
    decodeBmpRle(file.subspan(layout.pixelOffset, layout.pixelBytes), bitmap);
    return bitmap;
}

Bitmap copyRows(const BmpLayout& layout, std::span<const std::uint8_t> file)
{
    Bitmap bitmap =
        Bitmap::adopt(layout.width, layout.height, layout.format, ByteBuffer::uninitialised(layout.pixelBytes), 0);
    const std::uint8_t* rows = file.data() + layout.pixelOffset;
    if (!layout.topDown) {
        std::memcpy(bitmap.row(bitmap.height() - 1), rows, layout.pixelBytes);
        return bitmap;
    }
    const std::size_t stride = bitmap.stride();
    for (std::int32_t y = 0; y < bitmap.height(); ++y, rows += stride) std::memcpy(bitmap.row(y), rows, stride);
    return bitmap;
}

} // namespace

Bitmap readBmp(std::span<const std::uint8_t> file)
{
    if (file.empty()) return Bitmap();
    const BmpLayout layout = BmpLayout::read(file);
    if (layout.compression != kBmpRgb) return decodeRle(layout, file);
    return copyRows(layout, file);
}

Bitmap readBmp(ByteBuffer file)
{
    if (file.empty()) return Bitmap();
    const BmpLayout layout = BmpLayout::read(file.bytes());
    if (layout.compression != kBmpRgb) return decodeRle(layout, file.bytes());
    if (layout.topDown || file.size() - layout.pixelBytes > kMaxAdoptedOverhead) return copyRows(layout, file.bytes());
    return Bitmap::adopt(layout.width, layout.height, layout.format, std::move(file), layout.pixelOffset);
}

} // namespace plexor
