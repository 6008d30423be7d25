// Writing bitmaps as files, and reading back what was written.

#include "platform/bmp_writer.h"

#include <cstring>

#include <gtest/gtest.h>

#include "platform/bmp_reader.h"
#include "platform/little_endian.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_bmp.h"
#include "tests/support/files.h"

namespace plexor::test {
namespace {

void ExpectSameFormat(const PixelFormat& written, const PixelFormat& original)
{
    EXPECT_EQ(written.BitsPerPixel, original.BitsPerPixel);
    EXPECT_TRUE(written.ColourTable == original.ColourTable);
    EXPECT_EQ(written.CoreHeader, original.CoreHeader);
    EXPECT_EQ(written.RedMask, original.RedMask);
    EXPECT_EQ(written.GreenMask, original.GreenMask);
    EXPECT_EQ(written.BlueMask, original.BlueMask);
    EXPECT_EQ(written.UsesBitfields, original.UsesBitfields);
}

// Opens each file, writes it, reads what was written: same format, pixels.
void ExpectRoundTrips(const std::vector<std::filesystem::path>& files)
{
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const TBitmap original = ReadBmp(ReadBytes(path));
        const std::vector<std::uint8_t> file = EncodeBmp(original);
        const TBitmap reread = ReadBmp(file);
        ExpectSameFormat(reread.Format(), original.Format());
        EXPECT_TRUE(ToPixels(reread) == ToPixels(original));
        // The stored values too, not only the colours they show.
        for (std::int32_t y = 0; y < original.Height(); ++y)
            ASSERT_EQ(
                0, std::memcmp(reread.Row(y), original.Row(y),
                               (static_cast<std::size_t>(original.Width()) * original.Format().BitsPerPixel + 7) / 8))
                << "row " << y;
    }
}

TEST(BmpWriter, SampleFilesRoundTrip)
{
    const auto extra = SharedFolder("bmp-extra");
    const auto good = SharedFolder("bmpsuite/g");
    if (!extra || !good) GTEST_SKIP() << "shared sample folders are absent (looked under " << PLEXOR_SHARED_DIR << ")";
    ExpectRoundTrips(BmpFilesIn(*extra));
    ExpectRoundTrips(BmpFilesIn(*good));
}

TEST(BmpWriter, WritesTheFileHeaderTheInfoHeaderAndBottomUpRows)
{
    TBitmap bitmap(3, 2, PixelFormat::Rgb24());
    bitmap.Row(0)[0] = 0x11; // top row, first blue byte
    bitmap.Row(1)[0] = 0x22;
    const std::vector<std::uint8_t> file = EncodeBmp(bitmap);
    ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(LoadU32(&file[2]), file.size());
    EXPECT_EQ(LoadU32(&file[6]), 0u);
    EXPECT_EQ(LoadU32(&file[10]), 54u);
    EXPECT_EQ(LoadU32(&file[14]), 40u);
    EXPECT_EQ(LoadI32(&file[18]), 3);
    EXPECT_EQ(LoadI32(&file[22]), 2);  // positive: bottom row first
    EXPECT_EQ(LoadU16(&file[26]), 1u); // planes
    EXPECT_EQ(LoadU16(&file[28]), 24u);
    EXPECT_EQ(LoadU32(&file[30]), 0u); // uncompressed
    EXPECT_EQ(file[54], 0x22);
    EXPECT_EQ(file[54 + 12], 0x11);
}

TEST(BmpWriter, CustomMasksAreWrittenAsBitFieldsAfterThe40ByteHeader)
{
    PixelFormat format = PixelFormat::DefaultMasked(16);
    format.RedMask = 0xF800;
    format.GreenMask = 0x07E0;
    format.BlueMask = 0x001F;
    const std::vector<std::uint8_t> file = EncodeBmp(TBitmap(2, 1, format));
    EXPECT_EQ(LoadU32(&file[14]), 40u);
    EXPECT_EQ(LoadU32(&file[30]), 3u);
    EXPECT_EQ(LoadU32(&file[54]), 0xF800u);
    EXPECT_EQ(LoadU32(&file[58]), 0x07E0u);
    EXPECT_EQ(LoadU32(&file[62]), 0x001Fu);
    EXPECT_EQ(LoadU32(&file[10]), 66u);

    const std::vector<std::uint8_t> plain = EncodeBmp(TBitmap(2, 1, PixelFormat::DefaultMasked(32)));
    EXPECT_EQ(LoadU32(&plain[30]), 0u);
    EXPECT_EQ(LoadU32(&plain[10]), 54u);
}

TEST(BmpWriter, RunLengthFilesAreWrittenUncompressedAtTheirBitCount)
{
    CraftedBmp rle;
    rle.BitCount = 4;
    rle.Compression = 2;
    rle.Width = 3;
    rle.Height = 1;
    rle.Table = {{0, 0, 0, 0}, {1, 2, 3, 0}, {4, 5, 6, 0}};
    rle.ClrUsed = 3;
    rle.PixelData = {3, 0x12, 0, 1};
    const TBitmap bitmap = ReadBmp(rle.Build());
    const std::vector<std::uint8_t> file = EncodeBmp(bitmap);
    EXPECT_EQ(LoadU16(&file[28]), 4u);
    EXPECT_EQ(LoadU32(&file[30]), 0u);
    EXPECT_EQ(LoadU32(&file[46]), 3u); // entries used
    EXPECT_TRUE(ToPixels(ReadBmp(file)) == ToPixels(bitmap));
}

TEST(BmpWriter, CoreHeaderPicturesKeepTheCoreHeader)
{
    CraftedBmp core;
    core.HeaderSize = 12;
    core.BitCount = 8;
    core.Table = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    core.PixelData = {1, 0, 1, 0, 0, 1, 0, 1};
    const TBitmap bitmap = ReadBmp(core.Build());
    const std::vector<std::uint8_t> file = EncodeBmp(bitmap);
    EXPECT_EQ(LoadU32(&file[14]), 12u);
    EXPECT_EQ(LoadU32(&file[10]), 14u + 12u + 2u * 3u);
    const TBitmap reread = ReadBmp(file);
    EXPECT_TRUE(reread.Format().CoreHeader);
    EXPECT_TRUE(reread.Format().ColourTable == bitmap.Format().ColourTable);
    EXPECT_TRUE(ToPixels(reread) == ToPixels(bitmap));
}

TEST(BmpWriter, AnEmptyBitmapIsAnEmptyFile)
{
    EXPECT_TRUE(EncodeBmp(TBitmap()).empty());
    EXPECT_TRUE(EncodeBmp(TBitmap(0, 5, PixelFormat::Rgb24())).empty());
}

} // namespace
} // namespace plexor::test
