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

Bitmap decodeRle(std::uint16_t bits, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> data)
{
    CraftedBmp bmp;
    bmp.bitCount = bits;
    bmp.compression = bits == 8 ? 1 : 2;
    bmp.width = width;
    bmp.height = height;
    for (int i = 0; i < (1 << bits); ++i) bmp.table.push_back({static_cast<std::uint8_t>(i), 0, 0, 0});
    bmp.coloursUsed = static_cast<std::uint32_t>(bmp.table.size());
    bmp.pixelData = std::move(data);
    return readBmp(bmp.build());
}

// The stored values of a bitmap's rows from the top, as text: "1 1 0 | 2 0 0".
std::string values(const Bitmap& bitmap)
{
    std::string text;
    for (std::int32_t y = 0; y < bitmap.height(); ++y) {
        if (y != 0) text += "| ";
        for (std::int32_t x = 0; x < bitmap.width(); ++x)
            text += std::to_string(loadPixel(bitmap.row(y), x, bitmap.format().bitsPerPixel)) + " ";
    }
    return text;
}

std::string errorOf(std::uint16_t bits, std::vector<std::uint8_t> data)
{
    try {
        decodeRle(bits, 4, 2, std::move(data));
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(decoded)";
}

TEST(BmpRle, Rle8RunsLiteralsAndLineEndsFillFromTheBottomRow)
{
    const Bitmap bitmap = decodeRle(8, 4, 3,
                                    {3, 7,             // three 7s
                                     0, 0,             // end of line
                                     0, 3, 1, 2, 3, 0, // literal 1 2 3, padded
                                     0, 0, 2, 9,       // next line: two 9s
                                     0, 1});
    EXPECT_EQ(values(bitmap), "9 9 0 0 | 1 2 3 0 | 7 7 7 0 ");
    EXPECT_EQ(bitmap.format().bitsPerPixel, 8);
}

TEST(BmpRle, MovesSkipPixelsWhichKeepIndexZero)
{
    const Bitmap bitmap = decodeRle(8, 4, 3, {1, 5, 0, 2, 2, 1, 1, 6, 0, 1});
    EXPECT_EQ(values(bitmap), "0 0 0 0 | 0 0 0 6 | 5 0 0 0 ");
}

TEST(BmpRle, RunsAndMovesThatLeaveThePictureAreClipped)
{
    // A run longer than the row stops at its end rather than wrapping; a
    // literal that starts past the end writes nothing; a move past the top
    // drops what follows.
    const Bitmap bitmap = decodeRle(8, 4, 2, {200, 3,               // clipped at 4
                                              0,   3, 8, 8, 8, 0,   // past the row end
                                              0,   0, 0, 2, 0, 250, // move far above
                                              255, 4, 0, 5, 1, 2,   3, 4, 5, 0, 0, 1});
    EXPECT_EQ(values(bitmap), "0 0 0 0 | 3 3 3 3 ");
    const Bitmap wide = decodeRle(8, 4, 2, {0, 2, 255, 0, 255, 7, 0, 0, 2, 1, 0, 1});
    EXPECT_EQ(values(wide), "1 1 0 0 | 0 0 0 0 ");
}

TEST(BmpRle, Rle4RunsAlternateTheTwoHalvesOfTheirByte)
{
    const Bitmap bitmap = decodeRle(4, 5, 2,
                                    {5, 0x12,                   // 1 2 1 2 1
                                     0, 0,                      // end of line
                                     0, 5, 0x34, 0x56, 0x70, 0, // literal 3 4 5 6 7, padded
                                     0, 1});
    EXPECT_EQ(values(bitmap), "3 4 5 6 7 | 1 2 1 2 1 ");
    EXPECT_EQ(bitmap.format().bitsPerPixel, 4);
}

TEST(BmpRle, DataThatEndsBeforeItsEndMarkIsAReadError)
{
    const std::string readError = "Stream read error";
    EXPECT_EQ(errorOf(8, {}), readError);
    EXPECT_EQ(errorOf(8, {4, 1}), readError);
    EXPECT_EQ(errorOf(8, {4, 1, 0, 0, 4, 1, 0, 0}), readError);
    EXPECT_EQ(errorOf(8, {0, 4, 1, 2}), readError); // literal cut short
    EXPECT_EQ(errorOf(8, {0, 2, 1}), readError);    // move cut short
    EXPECT_EQ(errorOf(4, {0, 5, 0x12, 0x34}), readError);
    EXPECT_EQ(errorOf(8, {4, 1, 0, 1}), "(decoded)");
}

} // namespace
} // namespace plexor::test
