#include "tests/support/colours.h"

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor::test {

std::ostream& operator<<(std::ostream& out, const Rgb& colour)
{
    return out << '(' << int(colour.Red) << ", " << int(colour.Green) << ", " << int(colour.Blue) << ')';
}

Pixels ToPixels(const TBitmap& bitmap)
{
    Pixels pixels;
    pixels.Width = bitmap.Width();
    pixels.Height = bitmap.Height();
    // Rows of the transfer are padded to 4 bytes; gather them without padding.
    const std::size_t stride = (static_cast<std::size_t>(bitmap.Width()) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(stride * bitmap.Height());
    BitmapInfo info{};
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    EXPECT_EQ(GetDIBits(bitmap, 0, bitmap.Height(), block.data(), info), bitmap.Height());
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        pixels.Bgr.insert(pixels.Bgr.end(), block.begin() + static_cast<std::ptrdiff_t>(y * stride),
                          block.begin() + static_cast<std::ptrdiff_t>(y * stride + bitmap.Width() * 3));
    return pixels;
}

} // namespace plexor::test
