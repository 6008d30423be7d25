// The reader against crafted files: each header field that lies, files cut
// short, and the less common layouts of masks, tables and offsets.

#include "platform/bmp_reader.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/picture_error.h"
#include "platform/row_conversion.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_bmp.h"
#include "tests/support/files.h"

namespace plexor::test {
namespace {

const std::string kInvalid = "Bitmap image is not valid";
const std::string kReadError = "Stream read error";

std::string messageOf(const std::vector<std::uint8_t>& file)
{
    try {
        readBmp(file);
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(decoded)";
}

// A valid 4 × 2, 24-bit file; tests change one field.
CraftedBmp rgb24()
{
    CraftedBmp bmp;
    bmp.pixelData = filledRows(12, 2, 0x40);
    return bmp;
}

CraftedBmp pal8Bmp(std::size_t entries)
{
    CraftedBmp bmp;
    bmp.bitCount = 8;
    bmp.coloursUsed = static_cast<std::uint32_t>(entries);
    for (std::size_t i = 0; i < entries; ++i)
        bmp.table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0xFF, 0});
    bmp.pixelData = filledRows(4, 2, 0);
    return bmp;
}

CraftedBmp rgb16(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    CraftedBmp bmp;
    bmp.bitCount = 16;
    bmp.compression = 3;
    bmp.masksAfterHeader = {red, green, blue};
    bmp.pixelData = filledRows(8, 2, 0);
    return bmp;
}

// One row of 32-bit pixels behind a header of `headerSize` bytes, with
// `masks` (at most four) inside a header of 52 bytes or more, else right
// after it.
CraftedBmp row32(std::uint32_t headerSize, std::uint32_t compression, std::vector<std::uint32_t> masks,
                 std::vector<std::uint8_t> pixelData)
{
    CraftedBmp bmp;
    bmp.headerSize = headerSize;
    bmp.bitCount = 32;
    bmp.compression = compression;
    bmp.width = static_cast<std::int32_t>(pixelData.size() / 4);
    bmp.height = 1;
    if (headerSize >= 52)
        std::copy(masks.begin(), masks.end(), bmp.headerMasks);
    else
        bmp.masksAfterHeader = std::move(masks);
    bmp.pixelData = std::move(pixelData);
    return bmp;
}

TEST(BmpReader, ZeroBytesGiveAnEmptyBitmap)
{
    const Bitmap bitmap = readBmp(std::vector<std::uint8_t>{});
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.width(), 0);
    EXPECT_EQ(bitmap.height(), 0);
}

TEST(BmpReader, EachHeaderLieIsRefusedAsInvalid)
{
    struct Lie {
        const char* name;
        std::function<void(CraftedBmp&)> apply;
    };
    const Lie lies[] = {
        {"type not BM", [](CraftedBmp& b) { b.type = 0x5842; }},
        {"two planes", [](CraftedBmp& b) { b.planes = 2; }},
        {"no planes", [](CraftedBmp& b) { b.planes = 0; }},
        {"header size 66", [](CraftedBmp& b) { b.headerSize = 66; }},
        {"header size 64", [](CraftedBmp& b) { b.headerSize = 64; }},
        {"header size 0", [](CraftedBmp& b) { b.headerSize = 0; }},
        {"0 bits", [](CraftedBmp& b) { b.bitCount = 0; }},
        {"2 bits", [](CraftedBmp& b) { b.bitCount = 2; }},
        {"30000 bits", [](CraftedBmp& b) { b.bitCount = 30000; }},
        {"64 bits", [](CraftedBmp& b) { b.bitCount = 64; }},
        {"embedded JPEG", [](CraftedBmp& b) { b.compression = 4; }},
        {"embedded PNG", [](CraftedBmp& b) { b.compression = 5; }},
        {"unknown compression", [](CraftedBmp& b) { b.compression = 99; }},
        {"RLE8 at 24 bits", [](CraftedBmp& b) { b.compression = 1; }},
        {"RLE4 at 24 bits", [](CraftedBmp& b) { b.compression = 2; }},
        {"bit fields at 24 bits",
         [](CraftedBmp& b) {
             b.compression = 3;
             b.masksAfterHeader = {0xFF0000, 0xFF00, 0xFF};
         }},
        {"width 0", [](CraftedBmp& b) { b.width = 0; }},
        {"negative width", [](CraftedBmp& b) { b.width = -4; }},
        {"height 0", [](CraftedBmp& b) { b.height = 0; }},
        {"height of no magnitude", [](CraftedBmp& b) { b.height = std::numeric_limits<std::int32_t>::min(); }},
        {"70000 × 70000 pixels", [](CraftedBmp& b) { b.width = b.height = 70000; }},
        {"width times height overflows 32 bits",
         [](CraftedBmp& b) {
             b.width = 0x10000;
             b.height = 0x10001;
         }},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        CraftedBmp bmp = rgb24();
        lie.apply(bmp);
        EXPECT_EQ(messageOf(bmp.build()), kInvalid);
    }
}

TEST(BmpReader, CompressionThatDoesNotFitTheLayoutIsInvalid)
{
    CraftedBmp topDownRle = pal8Bmp(2);
    topDownRle.compression = 1;
    topDownRle.height = -2;
    topDownRle.pixelData = {0, 1};
    EXPECT_EQ(messageOf(topDownRle.build()), kInvalid);

    CraftedBmp rle4At8 = pal8Bmp(2);
    rle4At8.compression = 2;
    EXPECT_EQ(messageOf(rle4At8.build()), kInvalid);

    CraftedBmp core16;
    core16.headerSize = 12;
    core16.bitCount = 16;
    core16.pixelData = filledRows(8, 2, 0);
    EXPECT_EQ(messageOf(core16.build()), kInvalid);

    CraftedBmp coreNoWidth = rgb24();
    coreNoWidth.headerSize = 12;
    coreNoWidth.width = 0;
    EXPECT_EQ(messageOf(coreNoWidth.build()), kInvalid);
}

TEST(BmpReader, TablesLongerThanTheBitCountNeedsAreReadPastWhenTheRowsFollowThem)
{
    // 256 entries in a 1-bit picture, 17 in a 4-bit one: the rows start after
    // the whole table, and only the entries a pixel can index are kept.
    struct Case {
        std::uint16_t bits;
        std::size_t entries;
        std::size_t rowBytes;
    };
    for (const Case c : {Case{1, 256, 4}, Case{4, 17, 4}, Case{8, 300, 4}}) {
        SCOPED_TRACE(c.bits);
        CraftedBmp bmp = pal8Bmp(c.entries);
        bmp.bitCount = c.bits;
        bmp.pixelData = filledRows(c.rowBytes, 2, 0xFF);
        const Bitmap bitmap = readBmp(bmp.build());
        const std::size_t kept = std::size_t{1} << c.bits;
        ASSERT_EQ(bitmap.format().colourTable.size(), std::min(kept, c.entries));
        // Every pixel is the highest index: the last entry kept, not one after.
        const Rgb last{0xFF, static_cast<std::uint8_t>(kept - 1), static_cast<std::uint8_t>(kept - 1)};
        EXPECT_EQ(toPixels(bitmap).at(0, 0), last);
    }

    // A table too long for its bit count whose rows would start inside it is
    // not one a writer makes.
    CraftedBmp pal8 = pal8Bmp(2);
    pal8.coloursUsed = 257;
    EXPECT_EQ(messageOf(pal8.build()), kInvalid);

    CraftedBmp huge = pal8Bmp(2);
    huge.coloursUsed = 0xFFFFFFFF;
    EXPECT_EQ(messageOf(huge.build()), kInvalid);

    CraftedBmp pal1 = pal8Bmp(2);
    pal1.bitCount = 1;
    pal1.coloursUsed = 3;
    EXPECT_EQ(messageOf(pal1.build()), kInvalid);
}

TEST(BmpReader, MasksThatCannotDescribeAChannelAreInvalid)
{
    EXPECT_EQ(messageOf(rgb16(0xF800, 0x07E0, 0).build()), kInvalid);        // empty blue
    EXPECT_EQ(messageOf(rgb16(0xF800, 0x0FE0, 0x001F).build()), kInvalid);   // red and green share
    EXPECT_EQ(messageOf(rgb16(0xF800, 0x07E0, 0x0015).build()), kInvalid);   // gaps in blue
    EXPECT_EQ(messageOf(rgb16(0x1F0000, 0x07E0, 0x001F).build()), kInvalid); // past 16 bits

    CraftedBmp alphaOverlap = rgb16(0xF800, 0x07E0, 0x001F);
    alphaOverlap.compression = 6;
    alphaOverlap.masksAfterHeader.push_back(0x8001);
    EXPECT_EQ(messageOf(alphaOverlap.build()), kInvalid);
}

TEST(BmpReader, FilesCutShortAnywhereAreReadErrors)
{
    CraftedBmp pal4 = pal8Bmp(16);
    pal4.bitCount = 4;
    pal4.width = 5;
    pal4.pixelData = filledRows(4, 2, 0x12);
    CraftedBmp core = pal8Bmp(256);
    core.headerSize = 12;
    core.coloursUsed = 0;
    CraftedBmp v5 = rgb16(0xF800, 0x07E0, 0x001F);
    v5.headerSize = 124;
    v5.masksAfterHeader.clear();
    v5.headerMasks[0] = 0xF800;
    v5.headerMasks[1] = 0x07E0;
    v5.headerMasks[2] = 0x001F;
    CraftedBmp rle = pal8Bmp(2);
    rle.compression = 1;
    rle.pixelData = {4, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1};

    const std::vector<std::vector<std::uint8_t>> files = {
        rgb24().build(), pal8Bmp(7).build(), pal4.build(), core.build(), rgb16(0xF800, 0x07E0, 0x001F).build(),
        v5.build(),      rle.build()};
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto& file = files[f];
        ASSERT_EQ(messageOf(file), "(decoded)") << "file " << f;
        for (std::size_t cut = 1; cut < file.size(); ++cut) {
            const std::vector<std::uint8_t> head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            ASSERT_EQ(messageOf(head), kReadError) << "file " << f << " cut at " << cut;
        }
    }
}

TEST(BmpReader, SampleFilesCutShortAnywhereAreReadErrors)
{
    const auto folder = sharedFolder("bmp-extra");
    if (!folder) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    for (const char* name : {"core12_pal4.bmp", "pal4_rle4.bmp", "pal8_rle8.bmp", "rgb16_565_bitfields_info40.bmp",
                             "rgba32_alphamask_v5.bmp", "topdown_w99_h50_24bit.bmp"}) {
        const auto file = readBytes(*folder / name);
        ASSERT_FALSE(file.empty()) << name;
        for (std::size_t cut = 1; cut < file.size(); ++cut) {
            const std::vector<std::uint8_t> head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            ASSERT_EQ(messageOf(head), kReadError) << name << " cut at " << cut;
        }
    }
}

TEST(BmpReader, RowOrderFollowsTheSignOfTheHeight)
{
    CraftedBmp bmp = rgb24();
    bmp.width = 1;
    bmp.pixelData = {1, 2, 3, 0, 4, 5, 6, 0}; // first stored row, then second
    const Pixels bottomUp = toPixels(readBmp(bmp.build()));
    EXPECT_EQ(bottomUp.at(0, 0), (Rgb{6, 5, 4}));
    EXPECT_EQ(bottomUp.at(0, 1), (Rgb{3, 2, 1}));
    bmp.height = -2;
    const Bitmap topDown = readBmp(bmp.build());
    EXPECT_EQ(topDown.height(), 2);
    EXPECT_EQ(toPixels(topDown).at(0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpReader, TableValuesPastTheTableReadAsBlack)
{
    CraftedBmp bmp = pal8Bmp(2);
    bmp.pixelData = {0, 1, 2, 255, 1, 0, 200, 7};
    const Bitmap bitmap = readBmp(bmp.build());
    ASSERT_EQ(bitmap.format().colourTable.size(), 2u);
    const Pixels pixels = toPixels(bitmap);
    EXPECT_EQ(pixels.at(0, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixels.at(1, 1), (Rgb{255, 1, 1}));
    EXPECT_EQ(pixels.at(2, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixels.at(3, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixels.at(2, 0), (Rgb{0, 0, 0}));
    // The stored values stay as they were: the bitmap keeps the file's pixels.
    EXPECT_EQ(loadPixel(bitmap.row(1), 3, 8), 255u);
}

TEST(BmpReader, PixelOffsetDecidesWhereTheTableEndsAndTheRowsBegin)
{
    // The offset cuts the full 256-entry table that coloursUsed 0 implies short.
    CraftedBmp shortTable = pal8Bmp(4);
    shortTable.coloursUsed = 0;
    EXPECT_EQ(readBmp(shortTable.build()).format().colourTable.size(), 4u);

    // An offset past the table leaves a gap that is skipped.
    CraftedBmp gap = pal8Bmp(2);
    gap.pixelOffset = 14 + 40 + 8 + 6;
    gap.pixelData = {9, 9, 9, 9, 9, 9, 1, 1, 1, 1, 0, 0, 0, 0};
    const Pixels gapPixels = toPixels(readBmp(gap.build()));
    EXPECT_EQ(gapPixels.at(0, 1), (Rgb{255, 1, 1}));
    EXPECT_EQ(gapPixels.at(0, 0), (Rgb{255, 0, 0}));

    // Rows that would start inside the file header, the information header
    // or the masks after it are refused; right after the masks they are not.
    for (const std::uint32_t offset : {0u, 13u, 14u + 39u}) {
        CraftedBmp back = pal8Bmp(2);
        back.pixelOffset = offset;
        EXPECT_EQ(messageOf(back.build()), kInvalid) << offset;
    }
    CraftedBmp intoMasks = rgb16(0xF800, 0x07E0, 0x001F);
    intoMasks.pixelOffset = 14 + 40 + 8;
    EXPECT_EQ(messageOf(intoMasks.build()), kInvalid);
    CraftedBmp noTable = pal8Bmp(2);
    noTable.pixelOffset = 14 + 40;
    noTable.pixelData = {1, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_TRUE(readBmp(noTable.build()).format().colourTable.empty());

    // The core header knows no entry count: the offset gives it.
    CraftedBmp core = pal8Bmp(3);
    core.headerSize = 12;
    core.coloursUsed = 0;
    const Bitmap coreBitmap = readBmp(core.build());
    EXPECT_EQ(coreBitmap.format().colourTable.size(), 3u);
    EXPECT_TRUE(coreBitmap.format().coreHeader);

    // An offset past the end of the file is a read error.
    CraftedBmp beyond = rgb24();
    beyond.pixelOffset = 1000;
    EXPECT_EQ(messageOf(beyond.build()), kReadError);
}

TEST(BmpReader, MasksOfAnyWidthScaleSoTheBrightestValueIs255)
{
    struct Case {
        std::uint32_t red, green, blue;
        std::uint16_t pixel;
        Rgb expected;
    };
    const Case cases[] = {
        {0xF800, 0x07E0, 0x001F, 0xFFFF, {255, 255, 255}},
        {0xF800, 0x07E0, 0x001F, 0x8410, {132, 130, 132}}, // 16/31, 32/63, 16/31
        {0x0030, 0x000E, 0x0001, 0x003F, {255, 255, 255}}, // 2-3-1 bits
        {0x0030, 0x000E, 0x0001, 0x0014, {85, 73, 0}},     // 1/3, 2/7, 0
        {0x7C00, 0x03E0, 0x001F, 0x8000, {0, 0, 0}},       // the unused top bit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixel);
        CraftedBmp bmp = rgb16(c.red, c.green, c.blue);
        bmp.width = 1;
        bmp.height = 1;
        bmp.pixelData = {static_cast<std::uint8_t>(c.pixel), static_cast<std::uint8_t>(c.pixel >> 8), 0, 0};
        EXPECT_EQ(toPixels(readBmp(bmp.build())).at(0, 0), c.expected);
    }

    // Channels too wide for lookup tables: 30, 1 and 1 bits of 32.
    const CraftedBmp wide =
        row32(40, 3, {0x3FFFFFFF, 0x40000000, 0x80000000}, {0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80});
    const Pixels pixels = toPixels(readBmp(wide.build()));
    EXPECT_EQ(pixels.at(0, 0), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixels.at(1, 0), (Rgb{0, 0, 255}));
}

TEST(BmpReader, MasksComeFromWhereTheHeaderSizePutsThem)
{
    // 52-byte header: red, green, blue inside it, nothing after it.
    const Bitmap bitmap = readBmp(row32(52, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, {10, 20, 30, 0}).build());
    EXPECT_EQ(toPixels(bitmap).at(0, 0), (Rgb{10, 20, 30}));
    EXPECT_TRUE(bitmap.format().usesBitfields);

    // Alpha bit fields after a 40-byte header: four masks.
    const CraftedBmp alpha = row32(40, 6, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {1, 2, 3, 0x80});
    const Bitmap withAlpha = readBmp(alpha.build());
    EXPECT_EQ(withAlpha.format().alphaMask, 0xFF000000u);
    EXPECT_EQ(toPixels(withAlpha).at(0, 0), (Rgb{3, 2, 1}));

    // Without bit fields a 108-byte header's masks are not used.
    // The red and green masks overlap, but are unused.
    const CraftedBmp v4Plain = row32(108, 0, {0x000000FF, 0x000000FF}, {1, 2, 3, 0});
    EXPECT_EQ(toPixels(readBmp(v4Plain.build())).at(0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpReader, SubByteRowsReadEveryPixelInPlace)
{
    // The palette index of each pixel of a one-row file, as the green the
    // palette gives it.
    const auto indices = [](std::uint16_t bitCount, std::int32_t width, std::vector<std::uint8_t> row) {
        CraftedBmp bmp = pal8Bmp(std::size_t{1} << bitCount);
        bmp.bitCount = bitCount;
        bmp.width = width;
        bmp.height = 1;
        bmp.pixelData = std::move(row);
        const Pixels pixels = toPixels(readBmp(bmp.build()));
        std::vector<int> found;
        for (std::int32_t x = 0; x < pixels.width; ++x) found.push_back(pixels.at(x, 0).green);
        return found;
    };
    EXPECT_EQ(indices(1, 10, {0b10110000, 0b01000000, 0, 0}), (std::vector<int>{1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(indices(4, 3, {0x5A, 0xF0, 0, 0}), (std::vector<int>{5, 10, 15}));
}

} // namespace
} // namespace plexor::test
