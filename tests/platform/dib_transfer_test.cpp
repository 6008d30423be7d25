// Moving 24-bit rows in and out of bitmaps of every format.

#include "platform/dib_transfer.h"

#include <algorithm>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "platform/row_conversion.h"
#include "tests/support/colours.h"

namespace plexor::test {
namespace {

DibHeader topDownInfo(std::int32_t width, std::int32_t height)
{
    return DibHeader::topDownRows24(width, height);
}

// A 24-bit top-down block of the given colours, row after row.
std::vector<std::uint8_t> blockOf(const std::vector<Rgb>& colours)
{
    std::vector<std::uint8_t> block;
    for (const Rgb& c : colours) {
        block.push_back(c.blue);
        block.push_back(c.green);
        block.push_back(c.red);
    }
    return block;
}

std::vector<Colour> smallTable()
{
    // Blue, green, red, reserved.
    return {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
}

TEST(DibTransfer, RefusesWhatItCannotMoveAndTouchesNothing)
{
    Bitmap bitmap(4, 2, PixelFormat::rgb24());
    std::vector<std::uint8_t> block(4 * 2 * 3, 0xAB);
    const DibHeader good = topDownInfo(4, 2);

    auto variant = [&](auto change) {
        DibHeader info = good;
        change(info);
        return info;
    };
    const DibHeader refused[] = {
        variant([](DibHeader& h) { h.bitCount = 32; }), variant([](DibHeader& h) { h.compression = 3; }),
        variant([](DibHeader& h) { h.planes = 2; }),    variant([](DibHeader& h) { h.size = 12; }),
        variant([](DibHeader& h) { h.width = 8; }),     variant([](DibHeader& h) { h.height = -3; }),
    };
    for (const DibHeader& info : refused) {
        EXPECT_EQ(copyRowsFromBitmap(bitmap, 0, 2, block.data(), info), 0);
        EXPECT_EQ(copyRowsToBitmap(bitmap, 0, 2, block.data(), info), 0);
    }
    EXPECT_EQ(copyRowsFromBitmap(bitmap, -1, 2, block.data(), good), 0);
    EXPECT_EQ(copyRowsFromBitmap(bitmap, 1, 2, block.data(), good), 0);
    EXPECT_EQ(copyRowsFromBitmap(bitmap, 0, 0, block.data(), good), 0);
    EXPECT_EQ(copyRowsFromBitmap(bitmap, 0, 2, nullptr, good), 0);
    EXPECT_EQ(copyRowsToBitmap(bitmap, 0, 3, block.data(), good), 0);
    EXPECT_EQ(copyRowsToBitmap(bitmap, 0x7FFFFFFF, 2, block.data(), good), 0);
    EXPECT_EQ(std::set<std::uint8_t>(block.begin(), block.end()), std::set<std::uint8_t>{0xAB});
    EXPECT_EQ(bitmap.row(0)[0], 0);

    Bitmap empty;
    EXPECT_EQ(copyRowsFromBitmap(empty, 0, 0, block.data(), topDownInfo(0, 0)), 0);
    EXPECT_EQ(copyRowsToBitmap(empty, 0, 0, block.data(), topDownInfo(0, 0)), 0);
}

TEST(DibTransfer, RowOrderOfTheBlockFollowsTheSignOfItsHeight)
{
    Bitmap bitmap(4, 2, PixelFormat::rgb24());
    const auto block =
        blockOf({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {2, 2, 2}, {2, 2, 2}, {2, 2, 2}, {2, 2, 2}});
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 2, block.data(), topDownInfo(4, 2)), 2);
    EXPECT_EQ(toPixels(bitmap).at(0, 0), (Rgb{1, 1, 1}));

    DibHeader bottomUp = topDownInfo(4, 2);
    bottomUp.height = 2;
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 2, block.data(), bottomUp), 2);
    EXPECT_EQ(toPixels(bitmap).at(0, 0), (Rgb{2, 2, 2}));

    // One row from the middle: first row 1 of a bottom-up block is the
    // second row from the bottom, the top one here.
    std::vector<std::uint8_t> row(12);
    ASSERT_EQ(copyRowsFromBitmap(bitmap, 1, 1, row.data(), bottomUp), 1);
    EXPECT_EQ(row[0], 2);
}

TEST(DibTransfer, PaddedRowsOfOddWidthsAreHonoured)
{
    Bitmap bitmap(3, 2, PixelFormat::rgb24());
    std::vector<std::uint8_t> block(12 * 2, 0x55);
    for (int i = 0; i < 9; ++i) block[static_cast<std::size_t>(12 + i)] = 0x77; // second row, pixels only
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 2, block.data(), topDownInfo(3, 2)), 2);
    std::vector<std::uint8_t> out(24, 0xEE);
    ASSERT_EQ(copyRowsFromBitmap(bitmap, 0, 2, out.data(), topDownInfo(3, 2)), 2);
    EXPECT_EQ(out[0], 0x55);
    EXPECT_EQ(out[12], 0x77);
    EXPECT_EQ(out[9], 0); // padding is cleared
}

TEST(DibTransfer, PushesIntoAColourTableLandOnTheNearestTableColour)
{
    Bitmap bitmap(4, 2, PixelFormat::indexed(8, smallTable()));
    const auto block = blockOf({{250, 10, 10},
                                {10, 240, 5},
                                {0, 0, 0},
                                {200, 200, 200},
                                {20, 20, 160},
                                {255, 255, 255},
                                {128, 0, 0},
                                {127, 0, 0}});
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 2, block.data(), topDownInfo(4, 2)), 2);
    const std::vector<std::uint32_t> expected = {1, 2, 0, 4, 3, 4, 1, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(loadPixel(bitmap.row(i / 4), i % 4, 8), expected[static_cast<std::size_t>(i)]) << i;

    // Every pushed colour reads back as a colour of the table.
    const Pixels pixels = toPixels(bitmap);
    std::set<std::uint32_t> tableColours;
    for (const Colour& q : smallTable()) tableColours.insert(q.red << 16 | q.green << 8 | q.blue);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const Rgb c = pixels.at(x, y);
            EXPECT_EQ(tableColours.count(std::uint32_t(c.red) << 16 | c.green << 8 | c.blue), 1u);
        }
}

TEST(DibTransfer, TiesGoToTheLowestIndexAndRepeatedPushesAgree)
{
    // Grey 128 lies as far from grey 100 as from grey 156, and black is in
    // the table twice: the first of equals wins.
    const std::vector<Colour> table = {{0, 0, 0, 0}, {0, 0, 0, 0}, {100, 100, 100, 0}, {156, 156, 156, 0}};
    Bitmap bitmap(4, 1, PixelFormat::indexed(8, table));
    const auto block = blockOf({{128, 128, 128}, {0, 0, 0}, {128, 128, 128}, {1, 1, 1}});
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 1, block.data(), topDownInfo(4, 1)), 1);
        EXPECT_EQ(loadPixel(bitmap.row(0), 0, 8), 2u);
        EXPECT_EQ(loadPixel(bitmap.row(0), 1, 8), 0u);
        EXPECT_EQ(loadPixel(bitmap.row(0), 2, 8), 2u);
        EXPECT_EQ(loadPixel(bitmap.row(0), 3, 8), 0u);
    }
}

TEST(DibTransfer, SubBytePushesPackEveryPixelInPlace)
{
    const std::vector<Colour> blackWhite = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    Bitmap one(10, 1, PixelFormat::indexed(1, blackWhite));
    std::vector<Rgb> colours;
    const std::string pattern = "1011000001";
    for (char c : pattern) colours.push_back(c == '1' ? Rgb{250, 250, 250} : Rgb{3, 3, 3});
    const auto block = blockOf(colours);
    std::vector<std::uint8_t> padded(32, 0);
    std::copy(block.begin(), block.end(), padded.begin());
    ASSERT_EQ(copyRowsToBitmap(one, 0, 1, padded.data(), topDownInfo(10, 1)), 1);
    EXPECT_EQ(one.row(0)[0], 0b10110000);
    EXPECT_EQ(one.row(0)[1], 0b01000000);

    Bitmap four(3, 1, PixelFormat::indexed(4, smallTable()));
    const auto fourBlock = blockOf({{255, 0, 0}, {0, 0, 255}, {255, 255, 255}});
    std::vector<std::uint8_t> fourPadded(12, 0);
    std::copy(fourBlock.begin(), fourBlock.end(), fourPadded.begin());
    ASSERT_EQ(copyRowsToBitmap(four, 0, 1, fourPadded.data(), topDownInfo(3, 1)), 1);
    EXPECT_EQ(four.row(0)[0], 0x13);
    EXPECT_EQ(four.row(0)[1], 0x40);
}

TEST(DibTransfer, DirectColourPushesScaleIntoTheMasksAndSetAlpha)
{
    PixelFormat rgb565 = PixelFormat::defaultMasked(16);
    rgb565.redMask = 0xF800;
    rgb565.greenMask = 0x07E0;
    rgb565.blueMask = 0x001F;
    Bitmap bitmap(4, 1, rgb565);
    const auto block = blockOf({{255, 255, 255}, {255, 0, 0}, {0, 0, 0}, {132, 130, 132}});
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 1, block.data(), topDownInfo(4, 1)), 1);
    EXPECT_EQ(loadPixel(bitmap.row(0), 0, 16), 0xFFFFu);
    EXPECT_EQ(loadPixel(bitmap.row(0), 1, 16), 0xF800u);
    EXPECT_EQ(loadPixel(bitmap.row(0), 2, 16), 0u);
    EXPECT_EQ(loadPixel(bitmap.row(0), 3, 16), 0x8410u);
    // What was pushed reads back unchanged where the masks can hold it.
    EXPECT_EQ(toPixels(bitmap).at(3, 0), (Rgb{132, 130, 132}));

    PixelFormat argb = PixelFormat::defaultMasked(32);
    argb.alphaMask = 0xFF000000;
    argb.usesBitfields = true;
    Bitmap withAlpha(4, 1, argb);
    ASSERT_EQ(copyRowsToBitmap(withAlpha, 0, 1, block.data(), topDownInfo(4, 1)), 1);
    EXPECT_EQ(loadPixel(withAlpha.row(0), 1, 32), 0xFFFF0000u);
    EXPECT_EQ(loadPixel(withAlpha.row(0), 2, 32), 0xFF000000u);
}

TEST(DibTransfer, EveryFormatReadsBackWhatWasPushedOfItsOwnColours)
{
    // Colours each format holds exactly survive a push and a read unchanged.
    const auto block = blockOf({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}});
    const PixelFormat formats[] = {PixelFormat::indexed(4, smallTable()), PixelFormat::indexed(8, smallTable()),
                                   PixelFormat::defaultMasked(16), PixelFormat::rgb24(),
                                   PixelFormat::defaultMasked(32)};
    for (const PixelFormat& format : formats) {
        SCOPED_TRACE(format.bitsPerPixel);
        Bitmap bitmap(4, 1, format);
        ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 1, block.data(), topDownInfo(4, 1)), 1);
        std::vector<std::uint8_t> out(12);
        ASSERT_EQ(copyRowsFromBitmap(bitmap, 0, 1, out.data(), topDownInfo(4, 1)), 1);
        EXPECT_EQ(out, block);
    }
}

} // namespace
} // namespace plexor::test

namespace plexor::test {
namespace {

// Pushing a part after a change inside it leaves a bitmap of any format as
// a push of the whole would, also where sub-byte pixels share a byte with
// pixels outside the part.
TEST(DibTransfer, APartPushedGivesWhatTheWholeWouldGive)
{
    std::mt19937 rng(17);
    const std::int32_t width = 37, height = 9;
    const auto random = [&] { return static_cast<std::uint8_t>(rng()); };
    for (const PixelFormat& format :
         {PixelFormat::indexed(1, {{0, 0, 0, 0}, {255, 255, 255, 0}}), PixelFormat::indexed(4, smallTable()),
          PixelFormat::indexed(8, smallTable()), PixelFormat::defaultMasked(16), PixelFormat::rgb24(),
          PixelFormat::defaultMasked(32)}) {
        std::vector<std::uint8_t> block(std::size_t{3} * width * height + 1); // rows of 111 bytes, padded to 112
        block.resize(std::size_t{112} * height);
        for (std::uint8_t& b : block) b = random();
        Bitmap partly(width, height, format);
        ASSERT_EQ(copyRowsToBitmap(partly, 0, height, block.data(), topDownInfo(width, height)), height);
        for (int round = 0; round < 20; ++round) {
            const std::int32_t x0 = std::uniform_int_distribution(0, width - 1)(rng);
            const std::int32_t x1 = std::uniform_int_distribution(x0 + 1, width)(rng);
            const std::int32_t y0 = std::uniform_int_distribution(0, height - 1)(rng);
            const std::int32_t y1 = std::uniform_int_distribution(y0 + 1, height)(rng);
            for (std::int32_t y = y0; y < y1; ++y)
                for (std::int32_t x = 3 * x0; x < 3 * x1; ++x) block[std::size_t{112} * y + x] = random();
            ASSERT_EQ(copyPartToBitmap(partly, x0, y0, x1, y1, block.data(), topDownInfo(width, height)), y1 - y0);
            Bitmap whole(width, height, format);
            ASSERT_EQ(copyRowsToBitmap(whole, 0, height, block.data(), topDownInfo(width, height)), height);
            ASSERT_TRUE(std::ranges::equal(partly.bottomUpRows(), whole.bottomUpRows()))
                << format.bitsPerPixel << " bits, part " << x0 << ".." << x1 << " x " << y0 << ".." << y1;
        }
    }
}

} // namespace
} // namespace plexor::test
