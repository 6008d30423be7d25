// Decoding the shared sample pictures: good files, bad files, questionable
// files, and the variants of one synthetic picture.

#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/bmp_reader.h"
#include "platform/picture_error.h"
#include "tests/support/colours.h"
#include "tests/support/files.h"

namespace plexor::test {
namespace {

const std::set<std::string> kKnownMessages = {
    "Bitmap image is not valid",
    "Stream read error",
};

Bitmap readFile(const std::filesystem::path& path)
{
    return readBmp(readBytes(path));
}

// What a decode came to: the pixels, or the message it was refused with.
struct Outcome {
    std::optional<Pixels> picture;
    std::string error;
};

Outcome decode(const std::filesystem::path& path)
{
    Outcome outcome;
    try {
        outcome.picture = toPixels(readFile(path));
    } catch (const PictureError& error) {
        outcome.error = error.what();
    }
    return outcome;
}

TEST(BmpSuiteGood, EveryFileDecodesAtItsStatedSize)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    const std::map<std::string, std::pair<int, int>> unusualSizes = {
        {"pal8nonsquare.bmp", {127, 32}},
        {"pal8w124.bmp", {124, 61}},
        {"pal8w125.bmp", {125, 62}},
        {"pal8w126.bmp", {126, 63}},
    };
    const auto files = bmpFilesIn(*folder);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Bitmap bitmap = readFile(path);
        auto size = std::pair{127, 64};
        if (auto it = unusualSizes.find(path.filename().string()); it != unusualSizes.end()) size = it->second;
        EXPECT_EQ(bitmap.width(), size.first);
        EXPECT_EQ(bitmap.height(), size.second);
        toPixels(bitmap);
    }
}

TEST(BmpSuiteGood, FormatIsKeptAsTheFileHadIt)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    struct Expected {
        const char* file;
        int bits;
        std::size_t table;
        bool core;
        bool bitfields;
    };
    const Expected cases[] = {
        {"pal1.bmp", 1, 2, false, false},      {"pal4.bmp", 4, 12, false, false},
        {"pal4rle.bmp", 4, 12, false, false},  {"pal8.bmp", 8, 252, false, false},
        {"pal8-0.bmp", 8, 256, false, false},  {"pal8os2.bmp", 8, 256, true, false},
        {"pal8rle.bmp", 8, 252, false, false}, {"rgb16.bmp", 16, 0, false, false},
        {"rgb16-565.bmp", 16, 0, false, true}, {"rgb24.bmp", 24, 0, false, false},
        {"rgb32bf.bmp", 32, 0, false, true},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.file);
        const PixelFormat format = readFile(*folder / expected.file).format();
        EXPECT_EQ(format.bitsPerPixel, expected.bits);
        EXPECT_EQ(format.colourTable.size(), expected.table);
        EXPECT_EQ(format.coreHeader, expected.core);
        EXPECT_EQ(format.usesBitfields, expected.bitfields);
    }
    const PixelFormat rgb565 = readFile(*folder / "rgb16-565.bmp").format();
    EXPECT_EQ(rgb565.redMask, 0xF800u);
    EXPECT_EQ(rgb565.greenMask, 0x07E0u);
    EXPECT_EQ(rgb565.blueMask, 0x001Fu);
}

TEST(BmpSuiteGood, VariantsOfOnePictureDecodeAlike)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    const std::vector<std::vector<std::string>> groups = {
        {"pal1.bmp", "pal1wb.bmp"},
        {"pal4.bmp", "pal4rle.bmp"},
        {"pal8.bmp", "pal8-0.bmp", "pal8os2.bmp", "pal8rle.bmp", "pal8topdown.bmp", "pal8v4.bmp", "pal8v5.bmp"},
        {"rgb16.bmp", "rgb16bfdef.bmp"},
        {"rgb16-565.bmp", "rgb16-565pal.bmp"},
        {"rgb24.bmp", "rgb24pal.bmp", "rgb32.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"},
    };
    for (const auto& group : groups) {
        const Pixels first = toPixels(readFile(*folder / group.front()));
        for (std::size_t i = 1; i < group.size(); ++i) {
            SCOPED_TRACE(group.front() + " vs " + group[i]);
            EXPECT_TRUE(toPixels(readFile(*folder / group[i])) == first);
        }
    }
}

TEST(BmpSuiteGood, SampledPixelsHaveTheirColours)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    // The suite's picture has a red top-left corner and a black bottom-left
    // one in every colour variant; its brightest 16-bit value is white.
    for (const char* name :
         {"pal4.bmp", "pal8.bmp", "pal8rle.bmp", "rgb16.bmp", "rgb16-565.bmp", "rgb24.bmp", "rgb32bf.bmp"}) {
        SCOPED_TRACE(name);
        const Pixels pixels = toPixels(readFile(*folder / name));
        EXPECT_EQ(pixels.at(0, 0), (Rgb{255, 0, 0}));
        EXPECT_EQ(pixels.at(0, pixels.height - 1), (Rgb{0, 0, 0}));
    }
    for (const char* name : {"rgb16.bmp", "rgb16-565.bmp"}) {
        SCOPED_TRACE(name);
        const Pixels pixels = toPixels(readFile(*folder / name));
        bool sawWhite = false;
        for (int y = 0; y < pixels.height && !sawWhite; ++y)
            for (int x = 0; x < pixels.width && !sawWhite; ++x) sawWhite = pixels.at(x, y) == Rgb{255, 255, 255};
        EXPECT_TRUE(sawWhite);
    }
    // 1 bit: white first in one file, black first in the other, same picture.
    const Pixels pal1 = toPixels(readFile(*folder / "pal1.bmp"));
    EXPECT_EQ(pal1.at(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(pal1.at(0, 63), (Rgb{0, 0, 0}));
}

// Every file of `folder` either decodes to a picture of some size or is
// refused with one of the program's own messages.
void expectDecodedOrRefusedCleanly(const std::filesystem::path& folder)
{
    const auto files = bmpFilesIn(folder);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Outcome outcome = decode(path);
        if (outcome.picture) {
            EXPECT_GT(outcome.picture->width, 0);
            EXPECT_GT(outcome.picture->height, 0);
        } else {
            EXPECT_EQ(kKnownMessages.count(outcome.error), 1u) << outcome.error;
        }
    }
}

TEST(BmpSuiteBad, EveryFileIsRefusedCleanlyOrDecoded)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/b");
    expectDecodedOrRefusedCleanly(*folder);
}

TEST(BmpSuiteBad, LiesInTheHeaderAreRefusedWithTheirMessage)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/b");
    const std::map<std::string, std::string> expected = {
        {"badbitcount.bmp", "Bitmap image is not valid"},
        {"badheadersize.bmp", "Bitmap image is not valid"},
        {"badpalettesize.bmp", "Bitmap image is not valid"},
        {"badplanes.bmp", "Bitmap image is not valid"},
        {"badwidth.bmp", "Bitmap image is not valid"},
        {"reallybig.bmp", "Bitmap image is not valid"},
        {"rgb16-880.bmp", "Bitmap image is not valid"},
        {"rletopdown.bmp", "Bitmap image is not valid"},
        {"shortfile.bmp", "Stream read error"},
    };
    for (const auto& [name, message] : expected) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decode(*folder / name).error, message);
    }
}

TEST(BmpSuiteBad, FieldsThatDoNotMatterDoNotStopTheDecode)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/b");
    // Size fields and resolutions are not used, so their lies do no harm;
    // run-length data that leaves the picture is clipped.
    for (const char* name :
         {"badbitssize.bmp", "baddens1.bmp", "baddens2.bmp", "badfilesize.bmp", "badrle.bmp", "badrlebis.bmp",
          "badrleter.bmp", "badrle4.bmp", "badrle4bis.bmp", "badrle4ter.bmp", "pal8badindex.bmp"}) {
        SCOPED_TRACE(name);
        const Outcome outcome = decode(*folder / name);
        ASSERT_TRUE(outcome.picture.has_value()) << outcome.error;
        EXPECT_EQ(outcome.picture->width, 127);
        EXPECT_EQ(outcome.picture->height, 64);
    }
    // Values past the end of the 101-entry table read as black.
    const Outcome badIndex = decode(*folder / "pal8badindex.bmp");
    ASSERT_TRUE(badIndex.picture.has_value());
    EXPECT_EQ(badIndex.picture->at(126, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(badIndex.picture->at(0, 0), (Rgb{255, 0, 0}));
}

TEST(BmpSuiteQuestionable, EveryFileDecodesOrIsRefusedCleanly)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/q");
    expectDecodedOrRefusedCleanly(*folder);
}

TEST(BmpSuiteQuestionable, UnusualMasksScaleToFullBrightness)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/q");
    // Masks of 2-3-1, 11-11-10, 10-10-10-2 and other widths all decode the
    // red corner as pure red, the same as the 8-bit reference.
    for (const char* name :
         {"rgb16-231.bmp", "rgb16-3103.bmp", "rgb32-111110.bmp", "rgb32-7187.bmp", "rgba32-1010102.bmp",
          "rgba32-61754.bmp", "rgba16-4444.bmp", "rgba32abf.bmp", "rgba32h56.bmp"}) {
        SCOPED_TRACE(name);
        const Outcome outcome = decode(*folder / name);
        ASSERT_TRUE(outcome.picture.has_value()) << outcome.error;
        EXPECT_EQ(outcome.picture->at(0, 0), (Rgb{255, 0, 0}));
    }
}

TEST(BmpSuiteQuestionable, ATableOfMoreEntriesThanTheBitCountNeedsDecodesAsTheFullOne)
{
    REQUIRE_SHARED_FOLDER(questionable, "bmpsuite/q");
    REQUIRE_SHARED_FOLDER(good, "bmpsuite/g");
    const Outcome oversize = decode(*questionable / "pal8oversizepal.bmp");
    ASSERT_TRUE(oversize.picture.has_value()) << oversize.error;
    EXPECT_TRUE(*oversize.picture == toPixels(readFile(*good / "pal8.bmp")));
}

// The synthetic picture's corner markers, where its format can show them.
void expectCornerMarkers(const Pixels& pixels)
{
    const int right = pixels.width - 1;
    const int bottom = pixels.height - 1;
    EXPECT_EQ(pixels.at(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixels.at(right, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixels.at(0, bottom), (Rgb{0, 0, 255}));
    EXPECT_EQ(pixels.at(right, bottom), (Rgb{255, 255, 255}));
}

// For tables too small to hold the markers exactly: the marker's own channel
// leads clearly, white stays the lightest.
void expectCornerHues(const Pixels& pixels)
{
    const int right = pixels.width - 1;
    const int bottom = pixels.height - 1;
    const Rgb red = pixels.at(0, 0), green = pixels.at(right, 0), blue = pixels.at(0, bottom),
              white = pixels.at(right, bottom);
    EXPECT_GT(red.red, red.green + 100) << red;
    EXPECT_GT(green.green, green.red + 100) << green;
    EXPECT_GT(blue.blue, blue.red + 100) << blue;
    EXPECT_GT(white.red + white.green + white.blue, 700) << white;
}

TEST(BmpExtra, EveryFileDecodes)
{
    REQUIRE_SHARED_FOLDER(folder, "bmp-extra");
    const auto files = bmpFilesIn(*folder);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Outcome outcome = decode(path);
        ASSERT_TRUE(outcome.picture.has_value()) << outcome.error;
        const std::string name = path.filename().string();
        if (name.starts_with("w9") || name.starts_with("w100") || name.starts_with("topdown_w99")) {
            EXPECT_EQ(outcome.picture->height, 50);
        } else {
            EXPECT_EQ(outcome.picture->width, 101);
            EXPECT_EQ(outcome.picture->height, 67);
        }
    }
}

TEST(BmpExtra, CornerMarkersSitInTheirCorners)
{
    REQUIRE_SHARED_FOLDER(folder, "bmp-extra");
    for (const char* name : {"w97_h50_24bit.bmp",
                             "w98_h50_24bit.bmp",
                             "w99_h50_24bit.bmp",
                             "w100_h50_24bit.bmp",
                             "topdown_w99_h50_24bit.bmp",
                             "rgb24.bmp",
                             "core12_24bit.bmp",
                             "v4_24bit.bmp",
                             "v5_24bit.bmp",
                             "rgb32_plain_info40.bmp",
                             "rgba32_alphamask_v4.bmp",
                             "rgba32_alphamask_v5.bmp",
                             "rgb16_565_bitfields_info40.bmp",
                             "rgb16_565_bitfields_v5.bmp",
                             "rgb16_555_bitfields_v5.bmp",
                             "rgb16_555_plain_info40.bmp",
                             "topdown_rgb16_565_bitfields_v5.bmp",
                             "pal8_uncompressed.bmp",
                             "pal8_256colours.bmp",
                             "pal8_rle8.bmp",
                             "core12_pal8.bmp",
                             "v4_pal8.bmp",
                             "v5_pal8.bmp",
                             "v5_pal8_rle8.bmp"}) {
        SCOPED_TRACE(name);
        expectCornerMarkers(toPixels(readFile(*folder / name)));
    }
    for (const char* name : {"pal4_uncompressed.bmp", "pal4_rle4.bmp", "core12_pal4.bmp", "topdown_pal4.bmp"}) {
        SCOPED_TRACE(name);
        expectCornerHues(toPixels(readFile(*folder / name)));
    }
    // Grey levels: the white corner is white, the others are distinct greys.
    const Pixels grey = toPixels(readFile(*folder / "pal8_grey256.bmp"));
    EXPECT_EQ(grey.at(100, 66), (Rgb{255, 255, 255}));
    EXPECT_NE(grey.at(0, 0), grey.at(100, 0));
    // Two colours: the markers fall on the two table colours by brightness.
    for (const char* name : {"pal1_twocolour.bmp", "core12_pal1.bmp"}) {
        SCOPED_TRACE(name);
        const Pixels pixels = toPixels(readFile(*folder / name));
        EXPECT_EQ(pixels.at(0, 0), pixels.at(100, 66));
        EXPECT_NE(pixels.at(0, 0), pixels.at(100, 0));
    }
    const Pixels blackWhite = toPixels(readFile(*folder / "pal1_blackwhite.bmp"));
    EXPECT_EQ(blackWhite.at(100, 66), (Rgb{255, 255, 255}));
}

TEST(BmpExtra, VariantsOfOnePictureDecodeAlike)
{
    REQUIRE_SHARED_FOLDER(folder, "bmp-extra");
    const std::vector<std::vector<std::string>> groups = {
        {"rgb24.bmp", "core12_24bit.bmp", "v4_24bit.bmp", "v5_24bit.bmp", "rgb32_plain_info40.bmp",
         "rgba32_alphamask_v4.bmp", "rgba32_alphamask_v5.bmp"},
        {"pal8_uncompressed.bmp", "pal8_rle8.bmp", "core12_pal8.bmp", "v4_pal8.bmp", "v5_pal8.bmp", "v5_pal8_rle8.bmp"},
        {"pal4_uncompressed.bmp", "pal4_rle4.bmp", "core12_pal4.bmp", "topdown_pal4.bmp"},
        {"pal1_twocolour.bmp", "core12_pal1.bmp"},
        {"w99_h50_24bit.bmp", "topdown_w99_h50_24bit.bmp"},
        {"rgb16_565_bitfields_v5.bmp", "rgb16_565_bitfields_info40.bmp", "topdown_rgb16_565_bitfields_v5.bmp"},
    };
    for (const auto& group : groups) {
        const Pixels first = toPixels(readFile(*folder / group.front()));
        for (std::size_t i = 1; i < group.size(); ++i) {
            SCOPED_TRACE(group.front() + " vs " + group[i]);
            EXPECT_TRUE(toPixels(readFile(*folder / group[i])) == first);
        }
    }
}

} // namespace
} // namespace plexor::test
