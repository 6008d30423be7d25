// The reader against crafted files: each header field that lies, files cut
// short, and the less common layouts of masks, tables and offsets.

#include "platform/bmp_reader.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string>

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

std::string MessageOf(const std::vector<std::uint8_t>& file)
{
    try {
        ReadBmp(file);
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(decoded)";
}

// A valid 4 × 2, 24-bit file; tests change one field.
CraftedBmp Rgb24()
{
    CraftedBmp bmp;
    bmp.PixelData = FilledRows(12, 2, 0x40);
    return bmp;
}

CraftedBmp Pal8(std::size_t entries)
{
    CraftedBmp bmp;
    bmp.BitCount = 8;
    bmp.ClrUsed = static_cast<std::uint32_t>(entries);
    for (std::size_t i = 0; i < entries; ++i)
        bmp.Table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0xFF, 0});
    bmp.PixelData = FilledRows(4, 2, 0);
    return bmp;
}

CraftedBmp Rgb16(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    CraftedBmp bmp;
    bmp.BitCount = 16;
    bmp.Compression = 3;
    bmp.MasksAfterHeader = {red, green, blue};
    bmp.PixelData = FilledRows(8, 2, 0);
    return bmp;
}

TEST(BmpReader, ZeroBytesGiveAnEmptyBitmap)
{
    const TBitmap bitmap = ReadBmp(std::vector<std::uint8_t>{});
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
}

TEST(BmpReader, EachHeaderLieIsRefusedAsInvalid)
{
    struct Lie {
        const char* Name;
        std::function<void(CraftedBmp&)> Apply;
    };
    const Lie lies[] = {
        {"type not BM", [](CraftedBmp& b) { b.Type = 0x5842; }},
        {"two planes", [](CraftedBmp& b) { b.Planes = 2; }},
        {"no planes", [](CraftedBmp& b) { b.Planes = 0; }},
        {"header size 66", [](CraftedBmp& b) { b.HeaderSize = 66; }},
        {"header size 64", [](CraftedBmp& b) { b.HeaderSize = 64; }},
        {"header size 0", [](CraftedBmp& b) { b.HeaderSize = 0; }},
        {"0 bits", [](CraftedBmp& b) { b.BitCount = 0; }},
        {"2 bits", [](CraftedBmp& b) { b.BitCount = 2; }},
        {"30000 bits", [](CraftedBmp& b) { b.BitCount = 30000; }},
        {"64 bits", [](CraftedBmp& b) { b.BitCount = 64; }},
        {"embedded JPEG", [](CraftedBmp& b) { b.Compression = 4; }},
        {"embedded PNG", [](CraftedBmp& b) { b.Compression = 5; }},
        {"unknown compression", [](CraftedBmp& b) { b.Compression = 99; }},
        {"RLE8 at 24 bits", [](CraftedBmp& b) { b.Compression = 1; }},
        {"RLE4 at 24 bits", [](CraftedBmp& b) { b.Compression = 2; }},
        {"bit fields at 24 bits",
         [](CraftedBmp& b) {
             b.Compression = 3;
             b.MasksAfterHeader = {0xFF0000, 0xFF00, 0xFF};
         }},
        {"width 0", [](CraftedBmp& b) { b.Width = 0; }},
        {"negative width", [](CraftedBmp& b) { b.Width = -4; }},
        {"height 0", [](CraftedBmp& b) { b.Height = 0; }},
        {"height of no magnitude", [](CraftedBmp& b) { b.Height = std::numeric_limits<std::int32_t>::min(); }},
        {"70000 × 70000 pixels", [](CraftedBmp& b) { b.Width = b.Height = 70000; }},
        {"width times height overflows 32 bits",
         [](CraftedBmp& b) {
             b.Width = 0x10000;
             b.Height = 0x10001;
         }},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.Name);
        CraftedBmp bmp = Rgb24();
        lie.Apply(bmp);
        EXPECT_EQ(MessageOf(bmp.Build()), kInvalid);
    }
}

TEST(BmpReader, CompressionThatDoesNotFitTheLayoutIsInvalid)
{
    CraftedBmp topDownRle = Pal8(2);
    topDownRle.Compression = 1;
    topDownRle.Height = -2;
    topDownRle.PixelData = {0, 1};
    EXPECT_EQ(MessageOf(topDownRle.Build()), kInvalid);

    CraftedBmp rle4At8 = Pal8(2);
    rle4At8.Compression = 2;
    EXPECT_EQ(MessageOf(rle4At8.Build()), kInvalid);

    CraftedBmp core16;
    core16.HeaderSize = 12;
    core16.BitCount = 16;
    core16.PixelData = FilledRows(8, 2, 0);
    EXPECT_EQ(MessageOf(core16.Build()), kInvalid);

    CraftedBmp coreNoWidth = Rgb24();
    coreNoWidth.HeaderSize = 12;
    coreNoWidth.Width = 0;
    EXPECT_EQ(MessageOf(coreNoWidth.Build()), kInvalid);
}

TEST(BmpReader, TablesLongerThanTheBitCountNeedsAreReadPastWhenTheRowsFollowThem)
{
    // 256 entries in a 1-bit picture, 17 in a 4-bit one: the rows start after
    // the whole table, and only the entries a pixel can index are kept.
    struct Case {
        std::uint16_t Bits;
        std::size_t Entries;
        std::size_t RowBytes;
    };
    for (const Case c : {Case{1, 256, 4}, Case{4, 17, 4}, Case{8, 300, 4}}) {
        SCOPED_TRACE(c.Bits);
        CraftedBmp bmp = Pal8(c.Entries);
        bmp.BitCount = c.Bits;
        bmp.PixelData = FilledRows(c.RowBytes, 2, 0xFF);
        const TBitmap bitmap = ReadBmp(bmp.Build());
        const std::size_t kept = std::size_t{1} << c.Bits;
        ASSERT_EQ(bitmap.Format().ColourTable.size(), std::min(kept, c.Entries));
        // Every pixel is the highest index: the last entry kept, not one after.
        const Rgb last{0xFF, static_cast<std::uint8_t>(kept - 1), static_cast<std::uint8_t>(kept - 1)};
        EXPECT_EQ(ToPixels(bitmap).At(0, 0), last);
    }

    // A table too long for its bit count whose rows would start inside it is
    // not one a writer makes.
    CraftedBmp pal8 = Pal8(2);
    pal8.ClrUsed = 257;
    EXPECT_EQ(MessageOf(pal8.Build()), kInvalid);

    CraftedBmp huge = Pal8(2);
    huge.ClrUsed = 0xFFFFFFFF;
    EXPECT_EQ(MessageOf(huge.Build()), kInvalid);

    CraftedBmp pal1 = Pal8(2);
    pal1.BitCount = 1;
    pal1.ClrUsed = 3;
    EXPECT_EQ(MessageOf(pal1.Build()), kInvalid);
}

TEST(BmpReader, MasksThatCannotDescribeAChannelAreInvalid)
{
    EXPECT_EQ(MessageOf(Rgb16(0xF800, 0x07E0, 0).Build()), kInvalid);        // empty blue
    EXPECT_EQ(MessageOf(Rgb16(0xF800, 0x0FE0, 0x001F).Build()), kInvalid);   // red and green share
    EXPECT_EQ(MessageOf(Rgb16(0xF800, 0x07E0, 0x0015).Build()), kInvalid);   // gaps in blue
    EXPECT_EQ(MessageOf(Rgb16(0x1F0000, 0x07E0, 0x001F).Build()), kInvalid); // past 16 bits

    CraftedBmp alphaOverlap = Rgb16(0xF800, 0x07E0, 0x001F);
    alphaOverlap.Compression = 6;
    alphaOverlap.MasksAfterHeader.push_back(0x8001);
    EXPECT_EQ(MessageOf(alphaOverlap.Build()), kInvalid);
}

TEST(BmpReader, FilesCutShortAnywhereAreReadErrors)
{
    CraftedBmp pal4 = Pal8(16);
    pal4.BitCount = 4;
    pal4.Width = 5;
    pal4.PixelData = FilledRows(4, 2, 0x12);
    CraftedBmp core = Pal8(256);
    core.HeaderSize = 12;
    core.ClrUsed = 0;
    CraftedBmp v5 = Rgb16(0xF800, 0x07E0, 0x001F);
    v5.HeaderSize = 124;
    v5.MasksAfterHeader.clear();
    v5.HeaderMasks[0] = 0xF800;
    v5.HeaderMasks[1] = 0x07E0;
    v5.HeaderMasks[2] = 0x001F;
    CraftedBmp rle = Pal8(2);
    rle.Compression = 1;
    rle.PixelData = {4, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1};

    const std::vector<std::vector<std::uint8_t>> files = {
        Rgb24().Build(), Pal8(7).Build(), pal4.Build(), core.Build(), Rgb16(0xF800, 0x07E0, 0x001F).Build(),
        v5.Build(),      rle.Build()};
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto& file = files[f];
        ASSERT_EQ(MessageOf(file), "(decoded)") << "file " << f;
        for (std::size_t cut = 1; cut < file.size(); ++cut) {
            const std::vector<std::uint8_t> head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            ASSERT_EQ(MessageOf(head), kReadError) << "file " << f << " cut at " << cut;
        }
    }
}

TEST(BmpReader, SampleFilesCutShortAnywhereAreReadErrors)
{
    const auto folder = SharedFolder("bmp-extra");
    if (!folder) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    for (const char* name : {"core12_pal4.bmp", "pal4_rle4.bmp", "pal8_rle8.bmp", "rgb16_565_bitfields_info40.bmp",
                             "rgba32_alphamask_v5.bmp", "topdown_w99_h50_24bit.bmp"}) {
        const auto file = ReadBytes(*folder / name);
        ASSERT_FALSE(file.empty()) << name;
        for (std::size_t cut = 1; cut < file.size(); ++cut) {
            const std::vector<std::uint8_t> head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            ASSERT_EQ(MessageOf(head), kReadError) << name << " cut at " << cut;
        }
    }
}

TEST(BmpReader, RowOrderFollowsTheSignOfTheHeight)
{
    CraftedBmp bmp = Rgb24();
    bmp.Width = 1;
    bmp.PixelData = {1, 2, 3, 0, 4, 5, 6, 0}; // first stored row, then second
    const Pixels bottomUp = ToPixels(ReadBmp(bmp.Build()));
    EXPECT_EQ(bottomUp.At(0, 0), (Rgb{6, 5, 4}));
    EXPECT_EQ(bottomUp.At(0, 1), (Rgb{3, 2, 1}));
    bmp.Height = -2;
    const TBitmap topDown = ReadBmp(bmp.Build());
    EXPECT_EQ(topDown.Height(), 2);
    EXPECT_EQ(ToPixels(topDown).At(0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpReader, TableValuesPastTheTableReadAsBlack)
{
    CraftedBmp bmp = Pal8(2);
    bmp.PixelData = {0, 1, 2, 255, 1, 0, 200, 7};
    const TBitmap bitmap = ReadBmp(bmp.Build());
    ASSERT_EQ(bitmap.Format().ColourTable.size(), 2u);
    const Pixels pixels = ToPixels(bitmap);
    EXPECT_EQ(pixels.At(0, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixels.At(1, 1), (Rgb{255, 1, 1}));
    EXPECT_EQ(pixels.At(2, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixels.At(3, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixels.At(2, 0), (Rgb{0, 0, 0}));
    // The stored values stay as they were: the bitmap keeps the file's pixels.
    EXPECT_EQ(LoadPixel(bitmap.Row(1), 3, 8), 255u);
}

TEST(BmpReader, PixelOffsetDecidesWhereTheTableEndsAndTheRowsBegin)
{
    // The offset cuts the full 256-entry table that ClrUsed 0 implies short.
    CraftedBmp shortTable = Pal8(4);
    shortTable.ClrUsed = 0;
    EXPECT_EQ(ReadBmp(shortTable.Build()).Format().ColourTable.size(), 4u);

    // An offset past the table leaves a gap that is skipped.
    CraftedBmp gap = Pal8(2);
    gap.PixelOffset = 14 + 40 + 8 + 6;
    gap.PixelData = {9, 9, 9, 9, 9, 9, 1, 1, 1, 1, 0, 0, 0, 0};
    const Pixels gapPixels = ToPixels(ReadBmp(gap.Build()));
    EXPECT_EQ(gapPixels.At(0, 1), (Rgb{255, 1, 1}));
    EXPECT_EQ(gapPixels.At(0, 0), (Rgb{255, 0, 0}));

    // Rows that would start inside the file header, the information header
    // or the masks after it are refused; right after the masks they are not.
    for (const std::uint32_t offset : {0u, 13u, 14u + 39u}) {
        CraftedBmp back = Pal8(2);
        back.PixelOffset = offset;
        EXPECT_EQ(MessageOf(back.Build()), kInvalid) << offset;
    }
    CraftedBmp intoMasks = Rgb16(0xF800, 0x07E0, 0x001F);
    intoMasks.PixelOffset = 14 + 40 + 8;
    EXPECT_EQ(MessageOf(intoMasks.Build()), kInvalid);
    CraftedBmp noTable = Pal8(2);
    noTable.PixelOffset = 14 + 40;
    noTable.PixelData = {1, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_TRUE(ReadBmp(noTable.Build()).Format().ColourTable.empty());

    // The core header knows no entry count: the offset gives it.
    CraftedBmp core = Pal8(3);
    core.HeaderSize = 12;
    core.ClrUsed = 0;
    const TBitmap coreBitmap = ReadBmp(core.Build());
    EXPECT_EQ(coreBitmap.Format().ColourTable.size(), 3u);
    EXPECT_TRUE(coreBitmap.Format().CoreHeader);

    // An offset past the end of the file is a read error.
    CraftedBmp beyond = Rgb24();
    beyond.PixelOffset = 1000;
    EXPECT_EQ(MessageOf(beyond.Build()), kReadError);
}

TEST(BmpReader, MasksOfAnyWidthScaleSoTheBrightestValueIs255)
{
    struct Case {
        std::uint32_t Red, Green, Blue;
        std::uint16_t Pixel;
        Rgb Expected;
    };
    const Case cases[] = {
        {0xF800, 0x07E0, 0x001F, 0xFFFF, {255, 255, 255}},
        {0xF800, 0x07E0, 0x001F, 0x8410, {132, 130, 132}}, // 16/31, 32/63, 16/31
        {0x0030, 0x000E, 0x0001, 0x003F, {255, 255, 255}}, // 2-3-1 bits
        {0x0030, 0x000E, 0x0001, 0x0014, {85, 73, 0}},     // 1/3, 2/7, 0
        {0x7C00, 0x03E0, 0x001F, 0x8000, {0, 0, 0}},       // the unused top bit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Pixel);
        CraftedBmp bmp = Rgb16(c.Red, c.Green, c.Blue);
        bmp.Width = 1;
        bmp.Height = 1;
        bmp.PixelData = {static_cast<std::uint8_t>(c.Pixel), static_cast<std::uint8_t>(c.Pixel >> 8), 0, 0};
        EXPECT_EQ(ToPixels(ReadBmp(bmp.Build())).At(0, 0), c.Expected);
    }

    // Channels too wide for lookup tables: 30, 1 and 1 bits of 32.
    CraftedBmp wide;
    wide.BitCount = 32;
    wide.Compression = 3;
    wide.Width = 2;
    wide.Height = 1;
    wide.MasksAfterHeader = {0x3FFFFFFF, 0x40000000, 0x80000000};
    wide.PixelData = {0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80};
    const Pixels pixels = ToPixels(ReadBmp(wide.Build()));
    EXPECT_EQ(pixels.At(0, 0), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixels.At(1, 0), (Rgb{0, 0, 255}));
}

TEST(BmpReader, MasksComeFromWhereTheHeaderSizePutsThem)
{
    // 52-byte header: red, green, blue inside it, nothing after it.
    CraftedBmp inHeader;
    inHeader.HeaderSize = 52;
    inHeader.BitCount = 32;
    inHeader.Compression = 3;
    inHeader.Width = 1;
    inHeader.Height = 1;
    inHeader.HeaderMasks[0] = 0x000000FF;
    inHeader.HeaderMasks[1] = 0x0000FF00;
    inHeader.HeaderMasks[2] = 0x00FF0000;
    inHeader.PixelData = {10, 20, 30, 0};
    const TBitmap bitmap = ReadBmp(inHeader.Build());
    EXPECT_EQ(ToPixels(bitmap).At(0, 0), (Rgb{10, 20, 30}));
    EXPECT_TRUE(bitmap.Format().UsesBitfields);

    // Alpha bit fields after a 40-byte header: four masks.
    CraftedBmp alpha;
    alpha.BitCount = 32;
    alpha.Compression = 6;
    alpha.Width = 1;
    alpha.Height = 1;
    alpha.MasksAfterHeader = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    alpha.PixelData = {1, 2, 3, 0x80};
    const TBitmap withAlpha = ReadBmp(alpha.Build());
    EXPECT_EQ(withAlpha.Format().AlphaMask, 0xFF000000u);
    EXPECT_EQ(ToPixels(withAlpha).At(0, 0), (Rgb{3, 2, 1}));

    // Without bit fields a 108-byte header's masks are not used.
    CraftedBmp v4Plain;
    v4Plain.HeaderSize = 108;
    v4Plain.BitCount = 32;
    v4Plain.Width = 1;
    v4Plain.Height = 1;
    v4Plain.HeaderMasks[0] = 0x000000FF;
    v4Plain.HeaderMasks[1] = 0x000000FF; // overlapping, but unused
    v4Plain.PixelData = {1, 2, 3, 0};
    EXPECT_EQ(ToPixels(ReadBmp(v4Plain.Build())).At(0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpReader, SubByteRowsReadEveryPixelInPlace)
{
    CraftedBmp pal1 = Pal8(2);
    pal1.BitCount = 1;
    pal1.Width = 10;
    pal1.Height = 1;
    pal1.PixelData = {0b10110000, 0b01000000, 0, 0};
    const Pixels one = ToPixels(ReadBmp(pal1.Build()));
    const std::string expected = "1011000001";
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(one.At(x, 0).Green, expected[static_cast<std::size_t>(x)] == '1' ? 1 : 0) << x;

    CraftedBmp pal4 = Pal8(16);
    pal4.BitCount = 4;
    pal4.Width = 3;
    pal4.Height = 1;
    pal4.PixelData = {0x5A, 0xF0, 0, 0};
    const Pixels four = ToPixels(ReadBmp(pal4.Build()));
    EXPECT_EQ(four.At(0, 0).Green, 5);
    EXPECT_EQ(four.At(1, 0).Green, 10);
    EXPECT_EQ(four.At(2, 0).Green, 15);
}

} // namespace
} // namespace plexor::test
