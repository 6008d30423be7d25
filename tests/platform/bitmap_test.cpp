// Widening and narrowing bitmaps, and copying them.

#include "platform/bitmap.h"

#include <cstring>

#include <gtest/gtest.h>

#include "platform/dib_transfer.h"
#include "platform/picture_error.h"
#include "platform/row_conversion.h"
#include "tests/support/colours.h"

namespace plexor::test {
namespace {

// A bitmap whose pixel (x, y) has stored value (x + 3y) mod `modulo`.
Bitmap patterned(std::int32_t width, std::int32_t height, PixelFormat format, std::uint32_t modulo)
{
    Bitmap bitmap(width, height, format);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            storePixel(bitmap.row(y), x, bitmap.format().bitsPerPixel, static_cast<std::uint32_t>(x + 3 * y) % modulo);
    return bitmap;
}

TEST(Bitmap, DefaultIsEmpty)
{
    const Bitmap bitmap;
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.width(), 0);
    EXPECT_EQ(bitmap.height(), 0);
}

TEST(Bitmap, WideningTo100AddsBlackColumnsAndKeepsThePicture)
{
    Bitmap bitmap(97, 50, PixelFormat::rgb24());
    for (std::int32_t y = 0; y < 50; ++y) std::memset(bitmap.row(y), 0xC8, 97 * 3);
    bitmap.setBrushColour(0);
    bitmap.setWidth(100);
    ASSERT_EQ(bitmap.width(), 100);
    ASSERT_EQ(bitmap.height(), 50);
    EXPECT_EQ(bitmap.stride(), 300u);
    const Pixels pixels = toPixels(bitmap);
    for (std::int32_t y = 0; y < 50; ++y) {
        EXPECT_EQ(pixels.at(96, y), (Rgb{200, 200, 200}));
        for (std::int32_t x = 97; x < 100; ++x) ASSERT_EQ(pixels.at(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }
}

TEST(Bitmap, WideningKeepsFormatAndUsesTheNearestTableColourOfTheBrush)
{
    const std::vector<Colour> table = {{255, 255, 255, 0}, {10, 10, 10, 0}, {0, 0, 200, 0}};
    for (std::uint16_t bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const auto used = std::vector<Colour>(table.begin(), table.begin() + (bits == 1 ? 2 : 3));
        Bitmap bitmap = patterned(5, 3, PixelFormat::indexed(bits, used), bits == 1 ? 2 : 3);
        const Bitmap before = bitmap;
        bitmap.setBrushColour(0); // black: nearest is entry 1
        bitmap.setWidth(12);
        EXPECT_EQ(bitmap.format(), before.format());
        for (std::int32_t y = 0; y < 3; ++y) {
            for (std::int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(loadPixel(bitmap.row(y), x, bits), loadPixel(before.row(y), x, bits));
            for (std::int32_t x = 5; x < 12; ++x) EXPECT_EQ(loadPixel(bitmap.row(y), x, bits), 1u) << x;
        }
    }
    Bitmap red(1, 1, PixelFormat::indexed(8, table));
    red.setBrushColour(0x0000F0); // 0x00BBGGRR: red 240
    red.setWidth(2);
    EXPECT_EQ(loadPixel(red.row(0), 1, 8), 2u);
}

TEST(Bitmap, WideningDirectColourFillsWithTheBrush)
{
    struct Case {
        PixelFormat format;
        std::uint32_t expected;
    };
    PixelFormat alpha = PixelFormat::defaultMasked(32);
    alpha.alphaMask = 0xFF000000;
    const Case cases[] = {
        {PixelFormat::rgb24(), 0x0000FF},         // stored blue, green, red
        {PixelFormat::defaultMasked(16), 0x001F}, // 5-5-5: blue
        {PixelFormat::defaultMasked(32), 0x0000FF},
        {alpha, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.bitsPerPixel);
        Bitmap bitmap(1, 2, c.format);
        bitmap.setBrushColour(0xFF0000); // 0x00BBGGRR: pure blue
        bitmap.setWidth(3);
        EXPECT_EQ(loadPixel(bitmap.row(1), 0, c.format.bitsPerPixel), 0u);
        EXPECT_EQ(loadPixel(bitmap.row(1), 2, c.format.bitsPerPixel), c.expected);
    }
}

TEST(Bitmap, NarrowingKeepsTheLeftPixelsAndLeavesNoStrayBits)
{
    Bitmap bitmap = patterned(13, 2, PixelFormat::indexed(1, {{0, 0, 0, 0}, {1, 1, 1, 0}}), 2);
    bitmap.setWidth(3);
    EXPECT_EQ(bitmap.width(), 3);
    EXPECT_EQ(bitmap.row(0)[0], 0b01000000);
    EXPECT_EQ(bitmap.row(1)[0], 0b10100000);
    bitmap.setWidth(0);
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.height(), 2);
}

TEST(Bitmap, SizesPastTheLimitAreRefused)
{
    Bitmap bitmap(4, 1 << 14, PixelFormat::rgb24());
    EXPECT_THROW(bitmap.setWidth(1 << 15), PictureError);
    EXPECT_THROW(bitmap.setWidth(-1), PictureError);
    EXPECT_EQ(bitmap.width(), 4);
    EXPECT_THROW(Bitmap(1 << 15, 1 << 14, PixelFormat::rgb24()), PictureError);
    EXPECT_THROW(Bitmap(-1, 1, PixelFormat::rgb24()), PictureError);
    PixelFormat badTable = PixelFormat::indexed(1, std::vector<Colour>(3));
    EXPECT_THROW(Bitmap(1, 1, badTable), PictureError);
}

TEST(Bitmap, CopiesAreIndependent)
{
    Bitmap original = patterned(4, 2, PixelFormat::indexed(8, std::vector<Colour>(8)), 8);
    Bitmap copy = original;
    storePixel(copy.row(0), 0, 8, 7);
    EXPECT_EQ(loadPixel(original.row(0), 0, 8), 0u);
    EXPECT_EQ(loadPixel(copy.row(1), 1, 8), 4u);
    Bitmap moved = std::move(copy);
    EXPECT_EQ(loadPixel(moved.row(0), 0, 8), 7u);
    EXPECT_TRUE(copy.empty()); // NOLINT(bugprone-use-after-move): a moved-from bitmap is empty
}

} // namespace
} // namespace plexor::test
