// Run-length data: runs, literal runs, moves, and data that leaves the
// picture or ends too soon.

#include <string>

#include <gtest/gtest.h>

#include "platform/bmp_reader.h"
#include "platform/picture_error.h"
#include "platform/row_conversion.h"
#include "tests/support/crafted_bmp.h"

namespace plexor::test {
namespace {

TBitmap DecodeRle(std::uint16_t bits, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> data)
{
    CraftedBmp bmp;
    bmp.BitCount = bits;
    bmp.Compression = bits == 8 ? 1 : 2;
    bmp.Width = width;
    bmp.Height = height;
    for (int i = 0; i < (1 << bits); ++i) bmp.Table.push_back({static_cast<std::uint8_t>(i), 0, 0, 0});
    bmp.ClrUsed = static_cast<std::uint32_t>(bmp.Table.size());
    bmp.PixelData = std::move(data);
    return ReadBmp(bmp.Build());
}

// The stored values of a bitmap's rows from the top, as text: "1 1 0 | 2 0 0".
std::string Values(const TBitmap& bitmap)
{
    std::string text;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        if (y != 0) text += "| ";
        for (std::int32_t x = 0; x < bitmap.Width(); ++x)
            text += std::to_string(LoadPixel(bitmap.Row(y), x, bitmap.Format().BitsPerPixel)) + " ";
    }
    return text;
}

std::string ErrorOf(std::uint16_t bits, std::vector<std::uint8_t> data)
{
    try {
        DecodeRle(bits, 4, 2, std::move(data));
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(decoded)";
}

TEST(BmpRle, Rle8RunsLiteralsAndLineEndsFillFromTheBottomRow)
{
    const TBitmap bitmap = DecodeRle(8, 4, 3,
                                     {3, 7,             // three 7s
                                      0, 0,             // end of line
                                      0, 3, 1, 2, 3, 0, // literal 1 2 3, padded
                                      0, 0, 2, 9,       // next line: two 9s
                                      0, 1});
    EXPECT_EQ(Values(bitmap), "9 9 0 0 | 1 2 3 0 | 7 7 7 0 ");
    EXPECT_EQ(bitmap.Format().BitsPerPixel, 8);
}

TEST(BmpRle, MovesSkipPixelsWhichKeepIndexZero)
{
    const TBitmap bitmap = DecodeRle(8, 4, 3, {1, 5, 0, 2, 2, 1, 1, 6, 0, 1});
    EXPECT_EQ(Values(bitmap), "0 0 0 0 | 0 0 0 6 | 5 0 0 0 ");
}

TEST(BmpRle, RunsAndMovesThatLeaveThePictureAreClipped)
{
    // A run longer than the row stops at its end rather than wrapping; a
    // literal that starts past the end writes nothing; a move past the top
    // drops what follows.
    const TBitmap bitmap = DecodeRle(8, 4, 2, {200, 3,               // clipped at 4
                                               0,   3, 8, 8, 8, 0,   // past the row end
                                               0,   0, 0, 2, 0, 250, // move far above
                                               255, 4, 0, 5, 1, 2,   3, 4, 5, 0, 0, 1});
    EXPECT_EQ(Values(bitmap), "0 0 0 0 | 3 3 3 3 ");
    const TBitmap wide = DecodeRle(8, 4, 2, {0, 2, 255, 0, 255, 7, 0, 0, 2, 1, 0, 1});
    EXPECT_EQ(Values(wide), "1 1 0 0 | 0 0 0 0 ");
}

TEST(BmpRle, Rle4RunsAlternateTheTwoHalvesOfTheirByte)
{
    const TBitmap bitmap = DecodeRle(4, 5, 2,
                                     {5, 0x12,                   // 1 2 1 2 1
                                      0, 0,                      // end of line
                                      0, 5, 0x34, 0x56, 0x70, 0, // literal 3 4 5 6 7, padded
                                      0, 1});
    EXPECT_EQ(Values(bitmap), "3 4 5 6 7 | 1 2 1 2 1 ");
    EXPECT_EQ(bitmap.Format().BitsPerPixel, 4);
}

TEST(BmpRle, DataThatEndsBeforeItsEndMarkIsAReadError)
{
    const std::string readError = "Stream read error";
    EXPECT_EQ(ErrorOf(8, {}), readError);
    EXPECT_EQ(ErrorOf(8, {4, 1}), readError);
    EXPECT_EQ(ErrorOf(8, {4, 1, 0, 0, 4, 1, 0, 0}), readError);
    EXPECT_EQ(ErrorOf(8, {0, 4, 1, 2}), readError); // literal cut short
    EXPECT_EQ(ErrorOf(8, {0, 2, 1}), readError);    // move cut short
    EXPECT_EQ(ErrorOf(4, {0, 5, 0x12, 0x34}), readError);
    EXPECT_EQ(ErrorOf(8, {4, 1, 0, 1}), "(decoded)");
}

} // namespace
} // namespace plexor::test
