#include "tests/support/colours.h"

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"
#include "platform/picture.h"

namespace plexor::test {

std::ostream& operator<<(std::ostream& out, const Rgb& colour)
{
    return out << '(' << int(colour.red) << ", " << int(colour.green) << ", " << int(colour.blue) << ')';
}

Pixels toPixels(const Bitmap& bitmap)
{
    Pixels pixels;
    pixels.width = bitmap.width();
    pixels.height = bitmap.height();
    // Rows of the transfer are padded to 4 bytes; gather them without padding.
    const std::size_t stride = (static_cast<std::size_t>(bitmap.width()) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(stride * bitmap.height());
    const DibHeader info = DibHeader::topDownRows24(bitmap.width(), bitmap.height());
    EXPECT_EQ(copyRowsFromBitmap(bitmap, 0, bitmap.height(), block.data(), info), bitmap.height());
    for (std::int32_t y = 0; y < bitmap.height(); ++y)
        pixels.bgr.insert(pixels.bgr.end(), block.begin() + static_cast<std::ptrdiff_t>(y * stride),
                          block.begin() + static_cast<std::ptrdiff_t>(y * stride + bitmap.width() * 3));
    return pixels;
}

std::vector<std::uint16_t> channels16(const Picture& picture)
{
    const Pixels pixels = toPixels(picture.bitmap());
    const std::size_t count = pixels.bgr.size() / 3;
    const auto byteOr = [](const ByteBuffer& plane, std::size_t at, std::uint8_t otherwise) {
        return plane.empty() ? otherwise : plane[at];
    };
    std::vector<std::uint16_t> channels;
    channels.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        for (const std::size_t c : {std::size_t{2}, std::size_t{1}, std::size_t{0}}) {
            const std::uint8_t high = pixels.bgr[3 * i + c];
            channels.push_back(static_cast<std::uint16_t>(high << 8 | byteOr(picture.lowBytes(), 3 * i + c, high)));
        }
        const std::uint8_t alpha = byteOr(picture.alpha(), i, 255);
        channels.push_back(static_cast<std::uint16_t>(alpha << 8 | byteOr(picture.alphaLow(), i, alpha)));
    }
    return channels;
}

} // namespace plexor::test
