// Opening pictures that name no format by their content, and saving them.

#include "app/picture_files.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/bmp_only_codec.h"
#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/dib_transfer.h"
#include "platform/picture_error.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {
namespace {

const BmpOnlyCodec kCodec;

std::string openError(const std::string& path)
{
    try {
        openPicture(path, kCodec);
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(opened)";
}

std::vector<std::uint8_t> smallBmp(std::int32_t width, std::uint8_t value)
{
    CraftedBmp bmp;
    bmp.width = width;
    bmp.height = 2;
    bmp.pixelData = filledRows((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}, 2, value);
    return bmp.build();
}

class PictureFiles : public ::testing::Test {
protected:
    TempFolder folder_;
};

TEST(PictureExtension, IsTheTextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(pictureFileExtension("photo.JPG"), "JPG");
    EXPECT_EQ(pictureFileExtension("/a/b.c/pic.tar.Bmp"), "Bmp");
    EXPECT_EQ(pictureFileExtension("/a/b.c/noext"), "");
    EXPECT_EQ(pictureFileExtension("trailing."), "");
}

TEST(PictureFormatOfContent, HeicAndAvifFilesAreKnownByTheBrandsOfTheirFirstBox)
{
    using namespace std::string_view_literals;
    // Size, "ftyp", the main brand, a version, the compatible brands.
    const auto box = [](std::uint8_t size, std::string_view brands) {
        std::vector<std::uint8_t> head = {0, 0, 0, size, 'f', 't', 'y', 'p'};
        head.insert(head.end(), brands.begin(), brands.end());
        return pictureFormatOfContent(head);
    };
    EXPECT_EQ(box(24, "heic\0\0\0\0mif1heic"sv), PictureFormat::Heic);
    EXPECT_EQ(box(24, "heix\0\0\0\0mif1heix"sv), PictureFormat::Heic);
    EXPECT_EQ(box(28, "avif\0\0\0\0mif1miafavif"sv), PictureFormat::Avif);
    EXPECT_EQ(box(28, "mif1\0\0\0\0mif1miafavif"sv), PictureFormat::Avif);
    EXPECT_EQ(box(24, "mif1\0\0\0\0mif1heic"sv), PictureFormat::Heic);
    // A brand past the end of the box is not the box's.
    EXPECT_EQ(box(20, "mif1\0\0\0\0mif1avif"sv), PictureFormat::Heic);
    // Other files of the same structure are no pictures here.
    EXPECT_EQ(box(24, "isom\0\0\0\0isomavc1"sv), std::nullopt);
    EXPECT_EQ(box(24, "qt  \0\0\0\0qt  avif"sv), std::nullopt);
}

TEST_F(PictureFiles, WhatNamesNoFormatIsRefusedForItsExtension)
{
    EXPECT_EQ(openError(folder_.write("notes.txt", {'h', 'i'})), "Unknown picture file extension (.txt)");
    EXPECT_EQ(openError(folder_.write("noextension", {1, 2, 3})), "Unknown picture file extension (.)");
    // The content decides before the name: a bitmap named as another format
    // opens as a bitmap.
    EXPECT_EQ(openPicture(folder_.write("pic.png", smallBmp(3, 0)), kCodec).picture.bitmap().width(), 3);
}

TEST_F(PictureFiles, FilesThatCannotBeOpenedOrReadAreNamedWithTheReason)
{
    const std::string missing = folder_.file("missing.bmp");
    EXPECT_EQ(openError(missing), "Cannot open file " + missing);
    std::filesystem::create_directory(folder_.path() / "folder.bmp");
    EXPECT_EQ(openError(folder_.file("folder.bmp")), "Cannot open file " + folder_.file("folder.bmp"));
    EXPECT_EQ(openError(folder_.file("missing.ico")), "Cannot open file " + folder_.file("missing.ico"));

    std::vector<std::uint8_t> bad = smallBmp(3, 0);
    bad[0] = 'X';
    EXPECT_EQ(openError(folder_.write("bad.bmp", bad)), "Bitmap image is not valid");
    std::vector<std::uint8_t> cut = smallBmp(3, 0);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(openError(folder_.write("cut.bmp", cut)), "Stream read error");
}

TEST_F(PictureFiles, IconsAndMetafilesAreCheckedByTheirSignatureAndHoldNoPixels)
{
    std::vector<std::uint8_t> emf(88, 0);
    emf[0] = 1;
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    std::vector<std::uint8_t> wmfStandard = {1, 0, 9, 0, 0, 3};
    wmfStandard.resize(18, 0);
    std::vector<std::uint8_t> wmfPlaceable = {0xD7, 0xCD, 0xC6, 0x9A};
    wmfPlaceable.resize(40, 0);

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* outcome;
    };
    const Case cases[] = {
        {"ok.ico", {0, 0, 1, 0, 1, 0}, "(opened)"},
        {"ok.ICO", {0, 0, 1, 0, 3, 0, 9, 9}, "(opened)"},
        {"cursor.ico", {0, 0, 2, 0, 1, 0}, "Icon image is not valid"},
        {"none.ico", {0, 0, 1, 0, 0, 0}, "Icon image is not valid"},
        {"reserved.ico", {1, 0, 1, 0, 1, 0}, "Icon image is not valid"},
        {"short.ico", {0, 0, 1}, "Icon image is not valid"},
        {"empty.ico", {}, "Icon image is not valid"},
        {"placeable.wmf", wmfPlaceable, "(opened)"},
        {"standard.WMF", wmfStandard, "(opened)"},
        {"empty.wmf", {}, "Metafile is not valid"},
        {"ok.emf", emf, "(opened)"},
        {"wmf.emf", wmfPlaceable, "Metafile is not valid"},
        {"short.emf", std::vector<std::uint8_t>(emf.begin(), emf.begin() + 43), "Metafile is not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder_.write(c.name, c.bytes);
        EXPECT_EQ(openError(path), c.outcome);
        if (std::string(c.outcome) == "(opened)") {
            const Picture picture = openPicture(path, kCodec).picture;
            EXPECT_TRUE(picture.bitmap().empty());
        }
    }
}

TEST_F(PictureFiles, AZeroByteBitmapFileLoadsAsAnEmptyBitmapAndSavesAsZeroBytes)
{
    Picture picture = openPicture(folder_.write("empty.bmp", {}), kCodec).picture;
    EXPECT_TRUE(picture.bitmap().empty());
    const std::string saved = folder_.file("saved.bmp");
    savePicture(picture.planes(), {}, saved, PictureFormat::Bmp, kCodec);
    EXPECT_EQ(std::filesystem::file_size(saved), 0u);
}

TEST_F(PictureFiles, SavingWritesBitmapContentWhateverTheExtension)
{
    Picture picture = openPicture(folder_.write("source.bmp", smallBmp(6, 42)), kCodec).picture;
    const std::string target = folder_.write("target.png", {1, 2, 3});
    savePicture(picture.planes(), {}, target, PictureFormat::Bmp, kCodec);
    const Bitmap reread = readBmp(readBytes(target));
    EXPECT_EQ(reread.width(), 6);
    EXPECT_EQ(toPixels(reread), toPixels(picture.bitmap()));
    EXPECT_EQ(folder_.entries(), (std::vector<std::string>{"source.bmp", "target.png"}));
}

TEST_F(PictureFiles, OpenWidenSaveGivesTheWidenedPictureWithBlackColumns)
{
    const auto extra = sharedFolder("bmp-extra");
    if (!extra) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    Picture picture = openPicture((*extra / "w97_h50_24bit.bmp").string(), kCodec).picture;
    Bitmap& bitmap = picture.bitmap();
    bitmap.setBrushColour(0);
    bitmap.setWidth(100);
    const std::string saved = folder_.file("saved.bmp");
    savePicture(picture.planes(), {}, saved, PictureFormat::Bmp, kCodec);
    const Bitmap reread = readBmp(readBytes(saved));
    ASSERT_EQ(reread.width(), 100);
    ASSERT_EQ(reread.height(), 50);
    EXPECT_EQ(reread.format().bitsPerPixel, 24);
    const Pixels pixels = toPixels(reread);
    EXPECT_EQ(pixels.at(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixels.at(96, 0), (Rgb{0, 255, 0}));
    for (std::int32_t y = 0; y < 50; ++y)
        for (std::int32_t x = 97; x < 100; ++x) ASSERT_EQ(pixels.at(x, y), (Rgb{0, 0, 0}));
}

TEST_F(PictureFiles, AnEightBitPictureIsSavedWithItsTableAfterPushes)
{
    const auto extra = sharedFolder("bmp-extra");
    if (!extra) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    Picture picture = openPicture((*extra / "pal8_uncompressed.bmp").string(), kCodec).picture;
    Bitmap& bitmap = picture.bitmap();
    const std::vector<Colour> table = bitmap.format().colourTable;
    bitmap.setWidth(104);
    Pixels pixels = toPixels(bitmap);
    // An overlay colour not in the table.
    for (int x = 0; x < 104; ++x) {
        pixels.bgr[static_cast<std::size_t>(x) * 3 + 0] = 0x12;
        pixels.bgr[static_cast<std::size_t>(x) * 3 + 2] = 0xEE;
    }
    const DibHeader info = DibHeader::topDownRows24(104, 67);
    ASSERT_EQ(copyRowsToBitmap(bitmap, 0, 67, pixels.bgr.data(), info), 67);
    const std::string saved = folder_.file("saved.bmp");
    savePicture(picture.planes(), {}, saved, PictureFormat::Bmp, kCodec);
    const Bitmap reread = readBmp(readBytes(saved));
    EXPECT_EQ(reread.format().bitsPerPixel, 8);
    EXPECT_TRUE(reread.format().colourTable == table);
}

} // namespace
} // namespace plexor::test
