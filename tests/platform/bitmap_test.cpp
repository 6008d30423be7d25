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
TBitmap Patterned(std::int32_t width, std::int32_t height, PixelFormat format, std::uint32_t modulo)
{
    TBitmap bitmap(width, height, format);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            StorePixel(bitmap.Row(y), x, bitmap.Format().BitsPerPixel, static_cast<std::uint32_t>(x + 3 * y) % modulo);
    return bitmap;
}

TEST(Bitmap, DefaultIsEmpty)
{
    const TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
}

TEST(Bitmap, WideningTo100AddsBlackColumnsAndKeepsThePicture)
{
    TBitmap bitmap(97, 50, PixelFormat::Rgb24());
    for (std::int32_t y = 0; y < 50; ++y) std::memset(bitmap.Row(y), 0xC8, 97 * 3);
    bitmap.SetBrushColour(0);
    bitmap.SetWidth(100);
    ASSERT_EQ(bitmap.Width(), 100);
    ASSERT_EQ(bitmap.Height(), 50);
    EXPECT_EQ(bitmap.Stride(), 300u);
    const Pixels pixels = ToPixels(bitmap);
    for (std::int32_t y = 0; y < 50; ++y) {
        EXPECT_EQ(pixels.At(96, y), (Rgb{200, 200, 200}));
        for (std::int32_t x = 97; x < 100; ++x) ASSERT_EQ(pixels.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }
}

TEST(Bitmap, WideningKeepsFormatAndUsesTheNearestTableColourOfTheBrush)
{
    const std::vector<RgbQuad> table = {{255, 255, 255, 0}, {10, 10, 10, 0}, {0, 0, 200, 0}};
    for (std::uint16_t bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const auto used = std::vector<RgbQuad>(table.begin(), table.begin() + (bits == 1 ? 2 : 3));
        TBitmap bitmap = Patterned(5, 3, PixelFormat::Indexed(bits, used), bits == 1 ? 2 : 3);
        const TBitmap before = bitmap;
        bitmap.SetBrushColour(0); // black: nearest is entry 1
        bitmap.SetWidth(12);
        EXPECT_EQ(bitmap.Format(), before.Format());
        for (std::int32_t y = 0; y < 3; ++y) {
            for (std::int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(LoadPixel(bitmap.Row(y), x, bits), LoadPixel(before.Row(y), x, bits));
            for (std::int32_t x = 5; x < 12; ++x) EXPECT_EQ(LoadPixel(bitmap.Row(y), x, bits), 1u) << x;
        }
    }
    TBitmap red(1, 1, PixelFormat::Indexed(8, table));
    red.SetBrushColour(0x0000F0); // 0x00BBGGRR: red 240
    red.SetWidth(2);
    EXPECT_EQ(LoadPixel(red.Row(0), 1, 8), 2u);
}

TEST(Bitmap, WideningDirectColourFillsWithTheBrush)
{
    struct Case {
        PixelFormat Format;
        std::uint32_t Expected;
    };
    PixelFormat alpha = PixelFormat::DefaultMasked(32);
    alpha.AlphaMask = 0xFF000000;
    const Case cases[] = {
        {PixelFormat::Rgb24(), 0x0000FF},         // stored blue, green, red
        {PixelFormat::DefaultMasked(16), 0x001F}, // 5-5-5: blue
        {PixelFormat::DefaultMasked(32), 0x0000FF},
        {alpha, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Format.BitsPerPixel);
        TBitmap bitmap(1, 2, c.Format);
        bitmap.SetBrushColour(0xFF0000); // 0x00BBGGRR: pure blue
        bitmap.SetWidth(3);
        EXPECT_EQ(LoadPixel(bitmap.Row(1), 0, c.Format.BitsPerPixel), 0u);
        EXPECT_EQ(LoadPixel(bitmap.Row(1), 2, c.Format.BitsPerPixel), c.Expected);
    }
}

TEST(Bitmap, NarrowingKeepsTheLeftPixelsAndLeavesNoStrayBits)
{
    TBitmap bitmap = Patterned(13, 2, PixelFormat::Indexed(1, {{0, 0, 0, 0}, {1, 1, 1, 0}}), 2);
    bitmap.SetWidth(3);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Row(0)[0], 0b01000000);
    EXPECT_EQ(bitmap.Row(1)[0], 0b10100000);
    bitmap.SetWidth(0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Height(), 2);
}

TEST(Bitmap, SizesPastTheLimitAreRefused)
{
    TBitmap bitmap(4, 1 << 14, PixelFormat::Rgb24());
    EXPECT_THROW(bitmap.SetWidth(1 << 15), PictureError);
    EXPECT_THROW(bitmap.SetWidth(-1), PictureError);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_THROW(TBitmap(1 << 15, 1 << 14, PixelFormat::Rgb24()), PictureError);
    EXPECT_THROW(TBitmap(-1, 1, PixelFormat::Rgb24()), PictureError);
    PixelFormat badTable = PixelFormat::Indexed(1, std::vector<RgbQuad>(3));
    EXPECT_THROW(TBitmap(1, 1, badTable), PictureError);
}

TEST(Bitmap, CopiesAreIndependent)
{
    TBitmap original = Patterned(4, 2, PixelFormat::Indexed(8, std::vector<RgbQuad>(8)), 8);
    TBitmap copy = original;
    StorePixel(copy.Row(0), 0, 8, 7);
    EXPECT_EQ(LoadPixel(original.Row(0), 0, 8), 0u);
    EXPECT_EQ(LoadPixel(copy.Row(1), 1, 8), 4u);
    TBitmap moved = std::move(copy);
    EXPECT_EQ(LoadPixel(moved.Row(0), 0, 8), 7u);
    EXPECT_TRUE(copy.Empty()); // NOLINT(bugprone-use-after-move): a moved-from bitmap is empty
}

} // namespace
} // namespace plexor::test
