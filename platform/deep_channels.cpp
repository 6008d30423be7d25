#include "platform/deep_channels.h"

#include <algorithm>
#include <cstring>

#include "platform/picture_error.h"

namespace plexor {

bool planesFit(const PicturePlanes& picture) noexcept
{
    const Bitmap& bitmap = picture.bitmap;
    const std::size_t pixels = static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(bitmap.height());
    const auto plane = [pixels](std::span<const std::uint8_t> bytes, std::size_t each) {
        return bytes.empty() || bytes.size() == pixels * each;
    };
    const bool depth =
        picture.bitDepth == 8 || picture.bitDepth == 10 || picture.bitDepth == 12 || picture.bitDepth == 16;
    const bool lowAlpha = picture.alphaLow.empty() || (!picture.alpha.empty() && !picture.lowBytes.empty());
    const bool deepBitmap = picture.lowBytes.empty() || bitmap.format().bitsPerPixel == 24;
    return depth && lowAlpha && deepBitmap && plane(picture.alpha, 1) && plane(picture.lowBytes, 3) &&
           plane(picture.alphaLow, 1);
}

Picture roundedTo8Bits(const PicturePlanes& picture)
{
    if (!planesFit(picture) || picture.lowBytes.empty()) throwBitmapInvalid();
    const Bitmap& deep = picture.bitmap;
    const std::size_t width = static_cast<std::size_t>(deep.width());
    Bitmap bitmap(deep.width(), deep.height(), PixelFormat::rgb24());
    for (std::int32_t y = 0; y < deep.height(); ++y) {
        const std::uint8_t* high = deep.row(y);
        const std::uint8_t* low = picture.lowBytes.data() + static_cast<std::size_t>(y) * width * 3;
        std::uint8_t* to = bitmap.row(y);
        for (std::size_t i = 0; i < width * 3; ++i) to[i] = roundedTo8Bits(std::uint32_t{high[i]} << 8 | low[i]);
    }
    ByteBuffer alpha;
    if (!picture.alpha.empty()) {
        alpha = ByteBuffer::copyOf(picture.alpha);
        // Without low bytes of its own, the alpha is already its nearest.
        if (!picture.alphaLow.empty())
            for (std::size_t i = 0; i < alpha.size(); ++i)
                alpha[i] = roundedTo8Bits(std::uint32_t{picture.alpha[i]} << 8 | picture.alphaLow[i]);
    }
    return Picture::fromBitmap(std::move(bitmap), std::move(alpha));
}

ByteBuffer planeWithWidth(std::span<const std::uint8_t> plane, std::int32_t width, std::int32_t height,
                          std::size_t bytesPerPixel, std::int32_t newWidth)
{
    const std::size_t before = static_cast<std::size_t>(width) * bytesPerPixel;
    const std::size_t after = static_cast<std::size_t>(newWidth) * bytesPerPixel;
    const std::size_t rows = static_cast<std::size_t>(height);
    if (width < 0 || height < 0 || newWidth < 0 || plane.size() != before * rows) throwBitmapInvalid();
    ByteBuffer resized = ByteBuffer::zeroed(after * rows);
    const std::size_t kept = std::min(before, after);
    if (kept == 0) return resized;
    for (std::size_t y = 0; y < rows; ++y) std::memcpy(resized.data() + y * after, plane.data() + y * before, kept);
    return resized;
}

} // namespace plexor
