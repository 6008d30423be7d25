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

void expectSameFormat(const PixelFormat& written, const PixelFormat& original)
{
    EXPECT_EQ(written.bitsPerPixel, original.bitsPerPixel);
    EXPECT_TRUE(written.colourTable == original.colourTable);
    EXPECT_EQ(written.coreHeader, original.coreHeader);
    EXPECT_EQ(written.redMask, original.redMask);
    EXPECT_EQ(written.greenMask, original.greenMask);
    EXPECT_EQ(written.blueMask, original.blueMask);
    EXPECT_EQ(written.usesBitfields, original.usesBitfields);
}

// Opens each file, writes it, reads what was written: same format, pixels.
void expectRoundTrips(const std::vector<std::filesystem::path>& files)
{
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Bitmap original = readBmp(readBytes(path));
        const std::vector<std::uint8_t> file = encodeBmp(original);
        const Bitmap reread = readBmp(file);
        expectSameFormat(reread.format(), original.format());
        EXPECT_TRUE(toPixels(reread) == toPixels(original));
        // The stored values too, not only the colours they show.
        for (std::int32_t y = 0; y < original.height(); ++y)
            ASSERT_EQ(
                0, std::memcmp(reread.row(y), original.row(y),
                               (static_cast<std::size_t>(original.width()) * original.format().bitsPerPixel + 7) / 8))
                << "row " << y;
    }
}

TEST(BmpWriter, SampleFilesRoundTrip)
{
    const auto extra = sharedFolder("bmp-extra");
    const auto good = sharedFolder("bmpsuite/g");
    if (!extra || !good) GTEST_SKIP() << "shared sample folders are absent (looked under " << PLEXOR_SHARED_DIR << ")";
    expectRoundTrips(bmpFilesIn(*extra));
    expectRoundTrips(bmpFilesIn(*good));
}

TEST(BmpWriter, WritesTheFileHeaderTheInfoHeaderAndBottomUpRows)
{
    Bitmap bitmap(3, 2, PixelFormat::rgb24());
    bitmap.row(0)[0] = 0x11; // top row, first blue byte
    bitmap.row(1)[0] = 0x22;
    const std::vector<std::uint8_t> file = encodeBmp(bitmap);
    ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(loadU32(&file[2]), file.size());
    EXPECT_EQ(loadU32(&file[6]), 0u);
    EXPECT_EQ(loadU32(&file[10]), 54u);
    EXPECT_EQ(loadU32(&file[14]), 40u);
    EXPECT_EQ(loadI32(&file[18]), 3);
    EXPECT_EQ(loadI32(&file[22]), 2);  // positive: bottom row first
    EXPECT_EQ(loadU16(&file[26]), 1u); // planes
    EXPECT_EQ(loadU16(&file[28]), 24u);
    EXPECT_EQ(loadU32(&file[30]), 0u); // uncompressed
    EXPECT_EQ(file[54], 0x22);
    EXPECT_EQ(file[54 + 12], 0x11);
}

TEST(BmpWriter, CustomMasksAreWrittenAsBitFieldsAfterThe40ByteHeader)
{
    PixelFormat format = PixelFormat::defaultMasked(16);
    format.redMask = 0xF800;
    format.greenMask = 0x07E0;
    format.blueMask = 0x001F;
    const std::vector<std::uint8_t> file = encodeBmp(Bitmap(2, 1, format));
    EXPECT_EQ(loadU32(&file[14]), 40u);
    EXPECT_EQ(loadU32(&file[30]), 3u);
    EXPECT_EQ(loadU32(&file[54]), 0xF800u);
    EXPECT_EQ(loadU32(&file[58]), 0x07E0u);
    EXPECT_EQ(loadU32(&file[62]), 0x001Fu);
    EXPECT_EQ(loadU32(&file[10]), 66u);

    const std::vector<std::uint8_t> plain = encodeBmp(Bitmap(2, 1, PixelFormat::defaultMasked(32)));
    EXPECT_EQ(loadU32(&plain[30]), 0u);
    EXPECT_EQ(loadU32(&plain[10]), 54u);
}

TEST(BmpWriter, RunLengthFilesAreWrittenUncompressedAtTheirBitCount)
{
    CraftedBmp rle;
    rle.bitCount = 4;
    rle.compression = 2;
    rle.width = 3;
    rle.height = 1;
    rle.table = {{0, 0, 0, 0}, {1, 2, 3, 0}, {4, 5, 6, 0}};
    rle.coloursUsed = 3;
    rle.pixelData = {3, 0x12, 0, 1};
    const Bitmap bitmap = readBmp(rle.build());
    const std::vector<std::uint8_t> file = encodeBmp(bitmap);
    EXPECT_EQ(loadU16(&file[28]), 4u);
    EXPECT_EQ(loadU32(&file[30]), 0u);
    EXPECT_EQ(loadU32(&file[46]), 3u); // entries used
    EXPECT_TRUE(toPixels(readBmp(file)) == toPixels(bitmap));
}

TEST(BmpWriter, CoreHeaderPicturesKeepTheCoreHeader)
{
    CraftedBmp core;
    core.headerSize = 12;
    core.bitCount = 8;
    core.table = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    core.pixelData = {1, 0, 1, 0, 0, 1, 0, 1};
    const Bitmap bitmap = readBmp(core.build());
    const std::vector<std::uint8_t> file = encodeBmp(bitmap);
    EXPECT_EQ(loadU32(&file[14]), 12u);
    EXPECT_EQ(loadU32(&file[10]), 14u + 12u + 2u * 3u);
    const Bitmap reread = readBmp(file);
    EXPECT_TRUE(reread.format().coreHeader);
    EXPECT_TRUE(reread.format().colourTable == bitmap.format().colourTable);
    EXPECT_TRUE(toPixels(reread) == toPixels(bitmap));
}

TEST(BmpWriter, AnEmptyBitmapIsAnEmptyFile)
{
    EXPECT_TRUE(encodeBmp(Bitmap()).empty());
    EXPECT_TRUE(encodeBmp(Bitmap(0, 5, PixelFormat::rgb24())).empty());
}

} // namespace
} // namespace plexor::test
