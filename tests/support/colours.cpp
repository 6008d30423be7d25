#include "tests/support/colours.h"

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

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

} // namespace plexor::test
