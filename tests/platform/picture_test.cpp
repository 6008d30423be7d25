// Loading pictures by extension, and saving them.

#include "platform/picture.h"

#include <filesystem>

#include <gtest/gtest.h>

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

std::string LoadError(TPicture& picture, const std::string& path)
{
    try {
        picture.LoadFromFile(path);
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(loaded)";
}

std::vector<std::uint8_t> SmallBmp(std::int32_t width, std::uint8_t value)
{
    CraftedBmp bmp;
    bmp.Width = width;
    bmp.Height = 2;
    bmp.PixelData = FilledRows((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}, 2, value);
    return bmp.Build();
}

class PictureFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        WriteBytes(folder_.Path() / name, bytes);
        return folder_.File(name);
    }

    TempFolder folder_;
};

TEST(PictureExtension, IsTheTextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(PictureFileExtension("photo.JPG"), "JPG");
    EXPECT_EQ(PictureFileExtension("/a/b.c/pic.tar.Bmp"), "Bmp");
    EXPECT_EQ(PictureFileExtension("/a/b.c/noext"), "");
    EXPECT_EQ(PictureFileExtension("trailing."), "");
}

TEST_F(PictureFiles, ExtensionsAreComparedWithoutCase)
{
    TPicture picture;
    for (const char* name : {"a.bmp", "b.BMP", "c.Bmp"}) {
        const std::string path = Write(name, SmallBmp(3, 9));
        ASSERT_EQ(LoadError(picture, path), "(loaded)") << name;
        EXPECT_EQ(picture.Bitmap().Width(), 3);
    }
}

TEST_F(PictureFiles, UnknownExtensionsAreNamedAsWrittenAndChangeNothing)
{
    TPicture picture;
    picture.LoadFromFile(Write("start.bmp", SmallBmp(5, 1)));
    // The file need not exist: the extension decides first.
    EXPECT_EQ(LoadError(picture, folder_.File("photo.JPG")), "Unknown picture file extension (.JPG)");
    EXPECT_EQ(LoadError(picture, Write("pic.png", SmallBmp(3, 0))), "Unknown picture file extension (.png)");
    EXPECT_EQ(LoadError(picture, Write("noextension", SmallBmp(3, 0))), "Unknown picture file extension (.)");
    EXPECT_EQ(picture.Bitmap().Width(), 5);
}

TEST_F(PictureFiles, FilesThatCannotBeOpenedAreNamed)
{
    TPicture picture;
    const std::string missing = folder_.File("missing.bmp");
    EXPECT_EQ(LoadError(picture, missing), "Cannot open file " + missing);
    std::filesystem::create_directory(folder_.Path() / "folder.bmp");
    EXPECT_EQ(LoadError(picture, folder_.File("folder.bmp")), "Cannot open file " + folder_.File("folder.bmp"));
    EXPECT_EQ(LoadError(picture, folder_.File("missing.ico")), "Cannot open file " + folder_.File("missing.ico"));
}

TEST_F(PictureFiles, AFailedLoadKeepsThePictureItHad)
{
    TPicture picture;
    picture.LoadFromFile(Write("good.bmp", SmallBmp(7, 3)));
    std::vector<std::uint8_t> bad = SmallBmp(3, 0);
    bad[0] = 'X';
    EXPECT_EQ(LoadError(picture, Write("bad.bmp", bad)), "Bitmap image is not valid");
    std::vector<std::uint8_t> cut = SmallBmp(3, 0);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(LoadError(picture, Write("cut.bmp", cut)), "Stream read error");
    EXPECT_EQ(LoadError(picture, Write("bad.ico", {0, 0, 2, 0, 1, 0})), "Icon image is not valid");
    EXPECT_EQ(picture.Bitmap().Width(), 7);
    EXPECT_EQ(ToPixels(picture.Bitmap()).At(0, 0), (Rgb{3, 3, 3}));
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
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        const char* Outcome;
    };
    const Case cases[] = {
        {"ok.ico", {0, 0, 1, 0, 1, 0}, "(loaded)"},
        {"ok.ICO", {0, 0, 1, 0, 3, 0, 9, 9}, "(loaded)"},
        {"cursor.ico", {0, 0, 2, 0, 1, 0}, "Icon image is not valid"},
        {"none.ico", {0, 0, 1, 0, 0, 0}, "Icon image is not valid"},
        {"reserved.ico", {1, 0, 1, 0, 1, 0}, "Icon image is not valid"},
        {"short.ico", {0, 0, 1}, "Icon image is not valid"},
        {"empty.ico", {}, "Icon image is not valid"},
        {"placeable.wmf", wmfPlaceable, "(loaded)"},
        {"standard.WMF", wmfStandard, "(loaded)"},
        {"bmp.wmf", SmallBmp(3, 0), "Metafile is not valid"},
        {"empty.wmf", {}, "Metafile is not valid"},
        {"ok.emf", emf, "(loaded)"},
        {"wmf.emf", wmfPlaceable, "Metafile is not valid"},
        {"short.emf", std::vector<std::uint8_t>(emf.begin(), emf.begin() + 43), "Metafile is not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicture picture;
        picture.LoadFromFile(Write("before.bmp", SmallBmp(5, 1)));
        EXPECT_EQ(LoadError(picture, Write(c.Name, c.Bytes)), c.Outcome);
        if (std::string(c.Outcome) == "(loaded)") {
            EXPECT_FALSE(picture.HoldsBitmap());
            EXPECT_TRUE(picture.Bitmap().Empty());
            EXPECT_TRUE(picture.HoldsBitmap());
        } else {
            EXPECT_EQ(picture.Bitmap().Width(), 5);
        }
    }
}

TEST_F(PictureFiles, AZeroByteBitmapFileLoadsAsAnEmptyBitmapAndSavesAsZeroBytes)
{
    TPicture picture;
    picture.LoadFromFile(Write("empty.bmp", {}));
    EXPECT_TRUE(picture.Bitmap().Empty());
    const std::string saved = folder_.File("saved.bmp");
    picture.SaveToFile(saved);
    EXPECT_EQ(std::filesystem::file_size(saved), 0u);
}

TEST_F(PictureFiles, SavingWritesBitmapContentWhateverTheExtension)
{
    TPicture picture;
    picture.LoadFromFile(Write("source.bmp", SmallBmp(6, 42)));
    const std::string target = Write("target.png", {1, 2, 3});
    picture.SaveToFile(target);
    const TBitmap reread = ReadBmp(ReadBytes(target));
    EXPECT_EQ(reread.Width(), 6);
    EXPECT_EQ(ToPixels(reread), ToPixels(picture.Bitmap()));
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"source.bmp", "target.png"}));
}

TEST_F(PictureFiles, OpenWidenSaveGivesTheWidenedPictureWithBlackColumns)
{
    const auto extra = SharedFolder("bmp-extra");
    if (!extra) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    TPicture picture = TPicture::FromFile((*extra / "w97_h50_24bit.bmp").string());
    TBitmap& bitmap = picture.Bitmap();
    bitmap.SetBrushColour(0);
    bitmap.SetWidth(100);
    const std::string saved = folder_.File("saved.bmp");
    picture.SaveToFile(saved);
    const TBitmap reread = ReadBmp(ReadBytes(saved));
    ASSERT_EQ(reread.Width(), 100);
    ASSERT_EQ(reread.Height(), 50);
    EXPECT_EQ(reread.Format().BitsPerPixel, 24);
    const Pixels pixels = ToPixels(reread);
    EXPECT_EQ(pixels.At(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixels.At(96, 0), (Rgb{0, 255, 0}));
    for (std::int32_t y = 0; y < 50; ++y)
        for (std::int32_t x = 97; x < 100; ++x) ASSERT_EQ(pixels.At(x, y), (Rgb{0, 0, 0}));
}

TEST_F(PictureFiles, AnEightBitPictureIsSavedWithItsTableAfterPushes)
{
    const auto extra = SharedFolder("bmp-extra");
    if (!extra) GTEST_SKIP() << "shared sample folder bmp-extra is absent";
    TPicture picture;
    picture.LoadFromFile((*extra / "pal8_uncompressed.bmp").string());
    TBitmap& bitmap = picture.Bitmap();
    const std::vector<RgbQuad> table = bitmap.Format().ColourTable;
    bitmap.SetWidth(104);
    Pixels pixels = ToPixels(bitmap);
    // An overlay colour not in the table.
    for (int x = 0; x < 104; ++x) {
        pixels.Bgr[static_cast<std::size_t>(x) * 3 + 0] = 0x12;
        pixels.Bgr[static_cast<std::size_t>(x) * 3 + 2] = 0xEE;
    }
    BitmapInfo info{};
    info.bmiHeader.biWidth = 104;
    info.bmiHeader.biHeight = -67;
    ASSERT_EQ(SetDIBits(bitmap, 0, 67, pixels.Bgr.data(), info), 67);
    const std::string saved = folder_.File("saved.bmp");
    picture.SaveToFile(saved);
    const TBitmap reread = ReadBmp(ReadBytes(saved));
    EXPECT_EQ(reread.Format().BitsPerPixel, 8);
    EXPECT_TRUE(reread.Format().ColourTable == table);
}

} // namespace
} // namespace plexor::test
