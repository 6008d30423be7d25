// Picture files of every format through the Qt image codec, without a
// display or an application object: round trips, what is converted on the
// way in, damaged files and failed writes.

#include <unistd.h>

#include <QColorSpace>
#include <QImage>

#include <gtest/gtest.h>

#include "app/bmp_only_codec.h"
#include "app/model_picture.h"
#include "app/picture_commands.h"
#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "platform/bmp_reader.h"
#include "platform/picture_error.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_gif.h"
#include "tests/support/files.h"
#include "tests/support/qt_image_bytes.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

// JPEG at quality 92 of a smooth picture: no channel of any pixel is more
// than this far from the original (3 is seen).
constexpr int kJpegTolerance = 4;

// The last value of a JPEG file's first quantisation table: the standard
// luminance table's 99 scaled by the quality, 16 at quality 92.
int lastLuminanceQuantiser(const std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t at = 2; at + 4 < jpeg.size();) {
        if (jpeg[at] != 0xFF) return -1;
        const std::size_t length = std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        // DQT, 8-bit values, table 0: 64 values after the table's byte.
        if (jpeg[at + 1] == 0xDB && jpeg[at + 4] == 0 && at + 4 + 64 < jpeg.size()) return jpeg[at + 4 + 64];
        at += 2 + length;
    }
    return -1;
}

// The largest difference of any channel of any pixel.
int largestDifference(const Pixels& a, const Pixels& b)
{
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    if (a.bgr.size() != b.bgr.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.bgr.size(); ++i) largest = std::max(largest, std::abs(a.bgr[i] - b.bgr[i]));
    return largest;
}

std::string openError(const std::string& path, const ImageCodec& codec)
{
    try {
        openPicture(path, codec);
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(opened)";
}

class PictureFormats : public ::testing::Test {
protected:
    const QtImageCodec codec_;
    TempFolder folder_;
};

TEST_F(PictureFormats, EveryFormatIsOfferedWithItsPlugin)
{
    for (const PictureFormat format :
         {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Tiff, PictureFormat::Webp, PictureFormat::Gif}) {
        EXPECT_TRUE(codec_.canRead(format)) << pictureFormatName(format);
        EXPECT_EQ(codec_.canWrite(format), format != PictureFormat::Gif) << pictureFormatName(format);
    }
}

TEST_F(PictureFormats, SavedPicturesOpenAgainAsTheyWereLosslessButForJpeg)
{
    // A smooth picture of an odd width, and one with a colour table, which
    // is saved at 24 bits in every format but BMP.
    const Bitmap gradient = gradient24(97, 50);
    std::vector<Colour> table;
    for (int i = 0; i < 16; ++i)
        table.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 8), 40, 0});
    Bitmap indexed(33, 20, PixelFormat::indexed(4, table));
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::size_t b = 0; b < indexed.stride(); ++b) indexed.row(y)[b] = static_cast<std::uint8_t>(b * 37 + y);

    for (const Bitmap* original : std::initializer_list<const Bitmap*>{&gradient, &indexed}) {
        for (const PictureFormat format :
             {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Tiff, PictureFormat::Webp, PictureFormat::Bmp}) {
            SCOPED_TRACE(pictureFormatName(format));
            const std::string path = folder_.file("picture." + std::string(pictureFormatExtensions(format).front()));
            savePicture({*original}, {}, path, format, codec_);
            OpenedPicture opened = openPicture(path, codec_);
            EXPECT_EQ(opened.format, format);
            EXPECT_FALSE(opened.picture.deep());
            EXPECT_EQ(opened.picture.bitDepth(), 8);
            const Bitmap& back = opened.picture.bitmap();
            EXPECT_EQ(back.format().bitsPerPixel, format == PictureFormat::Bmp ? original->format().bitsPerPixel : 24);
            const int difference = largestDifference(toPixels(back), toPixels(*original));
            if (format != PictureFormat::Jpeg) {
                EXPECT_EQ(difference, 0);
            } else if (original == &gradient) {
                EXPECT_LE(difference, kJpegTolerance);
            }
            if (format == PictureFormat::Jpeg) {
                EXPECT_EQ(lastLuminanceQuantiser(readBytes(path)), 16);
            }
            if (format == PictureFormat::Png) {
                // Header: bit depth 8, colour type 2, red-green-blue.
                const std::vector<std::uint8_t> file = readBytes(path);
                ASSERT_GT(file.size(), 26u);
                EXPECT_EQ(file[24], 8);
                EXPECT_EQ(file[25], 2);
            }
        }
    }
    EXPECT_EQ(folder_.entries().size(), 5u) << "no temporary file is left";
}

// A JPEG file with an EXIF block that gives `orientation`, put right after
// the start-of-image marker of a file Qt wrote.
std::vector<std::uint8_t> withExifOrientation(std::vector<std::uint8_t> jpeg, std::uint16_t orientation)
{
    const std::vector<std::uint8_t> exif = {0xFF,
                                            0xE1,
                                            0x00,
                                            0x22,
                                            'E',
                                            'x',
                                            'i',
                                            'f',
                                            0,
                                            0, // APP1, 34 bytes, "Exif"
                                            'M',
                                            'M',
                                            0x00,
                                            0x2A,
                                            0x00,
                                            0x00,
                                            0x00,
                                            0x08, // big-endian, first IFD at 8
                                            0x00,
                                            0x01, // one entry:
                                            0x01,
                                            0x12,
                                            0x00,
                                            0x03,
                                            0x00,
                                            0x00,
                                            0x00,
                                            0x01, // orientation, SHORT, 1
                                            static_cast<std::uint8_t>(orientation >> 8),
                                            static_cast<std::uint8_t>(orientation),
                                            0,
                                            0,
                                            0x00,
                                            0x00,
                                            0x00,
                                            0x00}; // no next IFD
    jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
    return jpeg;
}

TEST_F(PictureFormats, AQualityAskedForReachesTheJpegEncoder)
{
    const Bitmap picture = gradient24(97, 50);
    const std::vector<std::uint8_t> standard = codec_.encode({picture}, PictureFormat::Jpeg, {}, {});
    const std::vector<std::uint8_t> low = codec_.encode({picture}, PictureFormat::Jpeg, {}, 30);
    EXPECT_LT(low.size(), standard.size());
    // At quality 50 the standard table is used as it is.
    EXPECT_EQ(lastLuminanceQuantiser(codec_.encode({picture}, PictureFormat::Jpeg, {}, 50)), 99);
}

TEST_F(PictureFormats, TheOrientationAJpegRecordsIsApplied)
{
    // Four flat quarters: red, green above blue, white.
    QImage image(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y,
                           y < 8 ? (x < 16 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                 : (x < 16 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
    const std::vector<std::uint8_t> plain = qtWritten(image, "jpeg");

    // 6: the stored rows are the picture turned a quarter to the left; shown
    // turned back, a quarter to the right.
    const Bitmap turned = codec_.decode(withExifOrientation(plain, 6), PictureFormat::Jpeg).bitmap();
    ASSERT_EQ(turned.width(), 16);
    ASSERT_EQ(turned.height(), 32);
    const Pixels pixels = toPixels(turned);
    const auto near = [](Rgb a, Rgb b) {
        return std::abs(a.red - b.red) <= 24 && std::abs(a.green - b.green) <= 24 && std::abs(a.blue - b.blue) <= 24;
    };
    EXPECT_TRUE(near(pixels.at(4, 8), Rgb{0, 0, 255})) << pixels.at(4, 8);
    EXPECT_TRUE(near(pixels.at(12, 8), Rgb{255, 0, 0})) << pixels.at(12, 8);
    EXPECT_TRUE(near(pixels.at(4, 24), Rgb{255, 255, 255})) << pixels.at(4, 24);
    EXPECT_TRUE(near(pixels.at(12, 24), Rgb{0, 255, 0})) << pixels.at(12, 24);

    // 1 is the stored order.
    EXPECT_EQ(codec_.decode(withExifOrientation(plain, 1), PictureFormat::Jpeg).bitmap().width(), 32);
}

TEST_F(PictureFormats, GreyAndTranslucentPicturesBecomeTwentyFourBitColour)
{
    QImage grey(5, 3, QImage::Format_Grayscale8);
    QImage translucent(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int v = x * 50 + y;
            grey.scanLine(y)[x] = static_cast<uchar>(v);
            // The colours of every pixel, even of a fully transparent one,
            // are what the file stored.
            translucent.setPixel(x, y, qRgba(v, 200 - v, 30, x * 60));
        }
    // TIFF files store translucent colours multiplied by their alpha, so
    // only PNG keeps those of transparent pixels.
    struct Case {
        const char* name;
        const QImage& image;
        Rgb (*expected)(int v);
        std::vector<const char*> formats;
    };
    const Case cases[] = {
        {"grey",
         grey,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)};
         },
         {"png", "tiff"}},
        {"alpha",
         translucent,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(200 - v), 30};
         },
         {"png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* format : c.formats) {
            SCOPED_TRACE(format);
            const Bitmap bitmap = codec_.decode(qtWritten(c.image, format), *pictureFormatOfExtension(format)).bitmap();
            EXPECT_EQ(bitmap.format().bitsPerPixel, 24);
            const Pixels pixels = toPixels(bitmap);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) EXPECT_EQ(pixels.at(x, y), c.expected(x * 50 + y)) << x << ", " << y;
        }
    }
}

// 7 x 3 pixels of 16-bit channels, each value its own and every low byte in
// use, as 16-bit colour with alpha (the first column nearly transparent) or
// 16-bit grey, and its channels as channels16 gives a picture's. The first
// pixel's red (or grey) is 0xFE00, whose nearest 8-bit value, 253, is not
// its high byte.
std::pair<QImage, std::vector<std::uint16_t>> deepImage(bool grey)
{
    QImage image(7, 3, grey ? QImage::Format_Grayscale16 : QImage::Format_RGBA64);
    std::vector<std::uint16_t> channels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            const int red = x + y == 0 ? 0xFE00 : x * 9000 + y * 7 + 1;
            const int others[] = {65535 - x * 5000 - y * 300, x * 123 + y * 4567, x * 9000 + 200 + y};
            auto* row = reinterpret_cast<quint16*>(image.scanLine(y));
            for (int c = 0; c < 4; ++c) {
                const int value = grey ? (c < 3 ? red : 65535) : (c == 0 ? red : others[c - 1]);
                channels.push_back(static_cast<std::uint16_t>(value));
                if (!grey) row[4 * x + c] = static_cast<quint16>(value);
            }
            if (grey) row[x] = static_cast<quint16>(red);
        }
    return {image, channels};
}

TEST_F(PictureFormats, SixteenBitPngAndTiffPicturesKeepEveryBitFromOpenToSave)
{
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Tiff}) {
        for (const bool grey : {false, true}) {
            const std::string name = std::string(pictureFormatExtensions(format).front());
            SCOPED_TRACE(name + (grey ? ", grey" : ", colour with alpha"));
            const auto [source, channels] = deepImage(grey);
            const std::string path = folder_.write("deep." + name, qtWritten(source, name.c_str()));

            const Picture decoded = codec_.decode(readBytes(path), format);
            EXPECT_EQ(decoded.bitDepth(), 16);
            EXPECT_EQ(decoded.alpha().empty(), grey);
            EXPECT_EQ(channels16(decoded), channels);
            const std::vector<std::uint8_t> encoded = codec_.encode(decoded.planes(), format, {}, {});
            EXPECT_EQ(channels16(codec_.decode(encoded, format)), channels);

            // Widened by a column, black and transparent to the last bit.
            OpenedPicture opened = openWidened(path, codec_);
            ASSERT_EQ(opened.picture.bitmap().width(), 8);
            const std::vector<std::uint16_t> widened = channels16(opened.picture);
            for (std::size_t y = 0; y < 3; ++y)
                EXPECT_EQ(
                    std::vector<std::uint16_t>(widened.begin() + (y * 8 + 7) * 4, widened.begin() + (y * 8 + 8) * 4),
                    (std::vector<std::uint16_t>{0, 0, 0, static_cast<std::uint16_t>(grey ? 65535 : 0)}));
            const std::string saved = folder_.file("saved." + name);
            savePicture(opened.picture.planes(), {}, saved, format, codec_);
            OpenedPicture again = openPicture(saved, codec_);
            EXPECT_EQ(channels16(again.picture), widened);
            // And through the picture's buffers, by Open and Save as.
            PictureCommandsShell shell(codec_);
            ASSERT_TRUE(shell.commands.openFile(path));
            EXPECT_TRUE(shell.model.picture.work().deep());
            const std::string resaved = folder_.file("resaved." + name);
            shell.dialogs.saveAnswers.push_back(FileDialogChoice{resaved, 1});
            ASSERT_TRUE(shell.commands.savePictureAs());
            EXPECT_EQ(channels16(openPicture(resaved, codec_).picture), widened);
            const std::vector<std::uint8_t> file = readBytes(saved);
            if (format == PictureFormat::Png) {
                ASSERT_GT(file.size(), 26u);
                EXPECT_EQ(file[24], 16) << "bit depth";
                EXPECT_EQ(file[25], grey ? 0 : 6) << "colour type";
            }

            // An 8-bit format takes each value's nearest 8 bits.
            if (grey) {
                const std::string bmp = folder_.file("saved.bmp");
                savePicture(opened.picture.planes(), {}, bmp, PictureFormat::Bmp, codec_);
                EXPECT_EQ(toPixels(readBmp(readBytes(bmp))).at(0, 0), (Rgb{253, 253, 253}));
            }
        }
    }
}

TEST_F(PictureFormats, APictureWithAColourProfileKeepsItsValuesAndItsProfile)
{
    // Linear light, which sRGB would show as other values.
    QImage linear(3, 1, QImage::Format_RGB32);
    linear.setPixel(0, 0, qRgb(128, 128, 128));
    linear.setPixel(1, 0, qRgb(0, 0, 0));
    linear.setPixel(2, 0, qRgb(255, 255, 255));
    linear.setColorSpace(QColorSpace(QColorSpace::SRgbLinear));
    const QByteArray profile = linear.colorSpace().iccProfile();
    for (const char* format : {"png", "jpeg"}) {
        SCOPED_TRACE(format);
        const std::vector<std::uint8_t> file = qtWritten(linear, format);
        const Pixels pixels = toPixels(codec_.decode(file, *pictureFormatOfExtension(format)).bitmap());
        EXPECT_NEAR(pixels.at(0, 0).green, 128, 2);
        EXPECT_EQ(codec_.readMetadata(file, *pictureFormatOfExtension(format)).iccProfile,
                  std::vector<std::uint8_t>(profile.cbegin(), profile.cend()));
    }
}

TEST_F(PictureFormats, TheFirstFrameOfAGifIsRead)
{
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 0, 0}, {10, 200, 30}};
    std::vector<std::uint8_t> indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 3);
    const std::string path = folder_.file("moving.gif");
    writeBytes(path, craftedGif(7, 4, palette, indices));
    OpenedPicture opened = openPicture(path, codec_);
    EXPECT_EQ(opened.format, PictureFormat::Gif);
    const Pixels pixels = toPixels(opened.picture.bitmap());
    for (std::size_t i = 0; i < indices.size(); ++i)
        EXPECT_EQ(pixels.at(static_cast<int>(i % 7), static_cast<int>(i / 7)), palette[indices[i]]);
}

TEST_F(PictureFormats, DamagedAndUnknownFilesAreRefusedWithTheirNameAndReason)
{
    const Bitmap picture = gradient24(64, 48);
    std::vector<Rgb> palette(128);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = {std::uint8_t(i), std::uint8_t(2 * i), 9};
    std::vector<std::uint8_t> indices(64 * 48);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 128);
    struct Case {
        PictureFormat format;
        std::vector<std::uint8_t> whole;
    };
    std::vector<Case> cases = {{PictureFormat::Gif, craftedGif(64, 48, palette, indices)}};
    for (const PictureFormat format :
         {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Tiff, PictureFormat::Webp})
        cases.push_back({format, codec_.encode({picture}, format, {}, {})});

    for (const Case& c : cases) {
        const std::string name(pictureFormatName(c.format));
        const std::string path = folder_.file("cut." + std::string(pictureFormatExtensions(c.format).front()));
        for (const std::size_t keep : {c.whole.size() / 2, c.whole.size() * 3 / 4, std::size_t{20}}) {
            SCOPED_TRACE(name + " cut to " + std::to_string(keep));
            writeBytes(path, std::vector<std::uint8_t>(c.whole.begin(), c.whole.begin() + keep));
            const std::string error = openError(path, codec_);
            EXPECT_EQ(error.rfind("Cannot read the " + name + " picture " + path + ": ", 0), 0u) << error;
            EXPECT_GT(error.size(), ("Cannot read the " + name + " picture " + path + ": ").size());
        }
    }
    // Content of no known format decides nothing; the extension then does.
    const std::string text = folder_.file("notes.png");
    writeBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EQ(openError(text, codec_).rfind("Cannot read the PNG picture " + text + ": ", 0), 0u);
    const std::string targa = folder_.file("picture.tga");
    writeBytes(targa, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3});
    EXPECT_EQ(openError(targa, codec_), "Unknown picture file extension (.tga)");
    // A format the codec cannot read is said to be so.
    const std::string png = folder_.file("real.png");
    writeBytes(png, codec_.encode({picture}, PictureFormat::Png, {}, {}));
    EXPECT_EQ(openError(png, BmpOnlyCodec()), "PNG pictures cannot be read here");
}

TEST_F(PictureFormats, ContentDecidesOverTheExtension)
{
    const Bitmap picture = gradient24(8, 8);
    const std::string bmpNamedJpg = folder_.file("photo.JPG");
    writeBytes(bmpNamedJpg, encodeBmp(picture));
    const std::string pngNamedBmp = folder_.file("old.bmp");
    writeBytes(pngNamedBmp, codec_.encode({picture}, PictureFormat::Png, {}, {}));
    EXPECT_EQ(openPicture(bmpNamedJpg, codec_).format, PictureFormat::Bmp);
    OpenedPicture png = openPicture(pngNamedBmp, codec_);
    EXPECT_EQ(png.format, PictureFormat::Png);
    EXPECT_EQ(toPixels(png.picture.bitmap()), toPixels(picture));
}

TEST_F(PictureFormats, AFailedWriteNamesTheFileAndTheReasonAndKeepsTheOldFile)
{
    const Bitmap picture = gradient24(16, 16);
    // Even root cannot make a file in the kernel's own folder.
    const std::string folder = ::geteuid() == 0 ? "/sys" : "/";
    const std::string refused = folder + "/plexor-picture.png";
    try {
        savePicture({picture}, {}, refused, PictureFormat::Png, codec_);
        ADD_FAILURE() << "saved into " << folder;
    } catch (const PictureError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + refused + ": Permission denied");
    }
    // A folder in the way of the name stays as it was.
    const std::string taken = folder_.file("taken.webp");
    std::filesystem::create_directory(taken);
    EXPECT_THROW(savePicture({picture}, {}, taken, PictureFormat::Webp, codec_), PictureError);
    EXPECT_TRUE(std::filesystem::is_directory(taken));
    EXPECT_EQ(folder_.entries(), std::vector<std::string>{"taken.webp"});
    // Wider than the format holds: its limit is the reason, not the coder's
    // "Unknown error"; at the limit the picture is written.
    const std::string wide = folder_.file("wide.webp"), tall = folder_.file("tall.jpg");
    try {
        savePicture({gradient24(16384, 1)}, {}, wide, PictureFormat::Webp, codec_);
        ADD_FAILURE() << "saved " << wide;
    } catch (const PictureError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot write file " + wide +
                                                 ": WebP pictures are at most 16383 pixels wide and high, and "
                                                 "this one is 16384 x 1 pixels");
    }
    EXPECT_THROW(savePicture({gradient24(1, 65501)}, {}, tall, PictureFormat::Jpeg, codec_), PictureError);
    EXPECT_EQ(folder_.entries(), std::vector<std::string>{"taken.webp"});
    savePicture({gradient24(16383, 1)}, {}, wide, PictureFormat::Webp, codec_);
    EXPECT_EQ(openPicture(wide, codec_).picture.bitmap().height(), 1);
}

TEST_F(PictureFormats, EveryGoodSampleSavedAsPngByQtOpensAsTheBitmapReaderReadsIt)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    for (const auto& path : bmpFilesIn(*folder)) {
        SCOPED_TRACE(path.filename().string());
        const Pixels expected = toPixels(readBmp(readBytes(path)));
        QImage image(expected.width, expected.height, QImage::Format_RGB888);
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const Rgb c = expected.at(x, y);
                image.setPixel(x, y, qRgb(c.red, c.green, c.blue));
            }
        const std::string png = folder_.file(path.stem().string() + ".png");
        writeBytes(png, qtWritten(image, "png"));
        OpenedPicture opened = openPicture(png, codec_);
        EXPECT_EQ(opened.format, PictureFormat::Png);
        EXPECT_TRUE(toPixels(opened.picture.bitmap()) == expected);
    }
}

class PictureCommandsWithFormats : public PictureFormats {
protected:
    // Saves through the dialog answered with `name` and filter entry `entry`.
    void saveAs(const std::string& name, int entry)
    {
        dialogs_.saveAnswers.push_back(FileDialogChoice{folder_.file(name), entry});
        commands_.savePictureAs();
    }

    TestModel model_;
    MemoryGauge memory_;
    RecordingSink messages_;
    FakeGridDialog gridDialog_;
    FakeErrors errors_;
    FakeDialogs dialogs_;
    FakeFrame frame_;
    FakePictureView pictureView_;
    FakeWindow window_;
    FakeSettings settings_;
    PictureCommands commands_{
        model_.picture, model_.grid, model_.work, memory_,
        ShellPorts{messages_, errors_, dialogs_, frame_, pictureView_, gridDialog_, window_, codec_, settings_, [] {}}};
};

TEST_F(PictureCommandsWithFormats, DialogsListEveryFormatAndSaveProposesTheOpenedOne)
{
    commands_.openPicture();
    ASSERT_EQ(dialogs_.openRequests.size(), 1u);
    EXPECT_EQ(
        filterText(dialogs_.openRequests[0].filters),
        "All pictures (*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*.webp;*.gif;*.heic;*.heif;*.hif;*.avif)|"
        "*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*.webp;*.gif;*.heic;*.heif;*.hif;*.avif|"
        "BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"
        "JPEG pictures (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
        "TIFF pictures (*.tif;*.tiff)|*.tif;*.tiff|WebP pictures (*.webp)|*.webp|"
        "GIF pictures (*.gif)|*.gif|HEIC pictures (*.heic;*.heif;*.hif)|*.heic;*.heif;*.hif|"
        "AVIF pictures (*.avif)|*.avif|All files (*.*)|*.*");

    const std::string tiff = folder_.file("scan.tif");
    savePicture({gradient24(12, 10)}, {}, tiff, PictureFormat::Tiff, codec_);
    ASSERT_TRUE(commands_.openFile(tiff));
    commands_.savePictureAs();
    ASSERT_EQ(dialogs_.saveRequests.size(), 1u);
    const FileDialogRequest& proposed = dialogs_.saveRequests[0];
    EXPECT_EQ(filterText(proposed.filters), "BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"
                                            "JPEG pictures (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
                                            "TIFF pictures (*.tif;*.tiff)|*.tif;*.tiff|WebP pictures (*.webp)|*.webp|"
                                            "HEIC pictures (*.heic;*.heif;*.hif)|*.heic;*.heif;*.hif|"
                                            "AVIF pictures (*.avif)|*.avif");
    EXPECT_EQ(proposed.fileName, tiff);
    EXPECT_EQ(proposed.filterIndex, 4);
    EXPECT_EQ(proposed.defaultExtension, "tif");

    // A name whose extension is not its content's is proposed with the
    // content's extension, since the typed extension decides the format.
    const std::string misnamed = folder_.file("photo.jpg");
    savePicture({gradient24(12, 10)}, {}, misnamed, PictureFormat::Webp, codec_);
    ASSERT_TRUE(commands_.openFile(misnamed));
    commands_.savePictureAs();
    EXPECT_EQ(dialogs_.saveRequests.back().fileName, folder_.file("photo.webp"));
    EXPECT_EQ(dialogs_.saveRequests.back().filterIndex, 5);

    // GIF is not written: the same name is proposed as PNG.
    const std::string gif = folder_.file("moving.gif");
    writeBytes(gif, craftedGif(4, 4, {{1, 2, 3}}, std::vector<std::uint8_t>(16, 0)));
    ASSERT_TRUE(commands_.openFile(gif));
    commands_.savePictureAs();
    EXPECT_EQ(dialogs_.saveRequests.back().fileName, folder_.file("moving.png"));
    EXPECT_EQ(dialogs_.saveRequests.back().filterIndex, 2);
    EXPECT_EQ(dialogs_.saveRequests.back().defaultExtension, "png");
}

TEST_F(PictureCommandsWithFormats, TheTypedExtensionOrElseTheChosenEntryDecidesTheFormat)
{
    ASSERT_TRUE(commands_.openFile(writeBmp(folder_, "start.bmp", gradient24(12, 10))));
    saveAs("typed.webp", 1); // BMP chosen, WebP typed
    saveAs("untyped", 2);    // PNG chosen
    saveAs("notes.txt", 4);  // TIFF chosen, an extension of no format typed
    saveAs("again.JPEG", 5); // WebP chosen, JPEG typed
    EXPECT_TRUE(errors_.shown.empty());
    EXPECT_EQ(pictureFormatOfContent(readBytes(folder_.file("typed.webp"))), PictureFormat::Webp);
    EXPECT_EQ(pictureFormatOfContent(readBytes(folder_.file("untyped"))), PictureFormat::Png);
    EXPECT_EQ(pictureFormatOfContent(readBytes(folder_.file("notes.txt"))), PictureFormat::Tiff);
    EXPECT_EQ(pictureFormatOfContent(readBytes(folder_.file("again.JPEG"))), PictureFormat::Jpeg);
    // The next proposal is the last save, in the format it was written in.
    commands_.savePictureAs();
    EXPECT_EQ(dialogs_.saveRequests.back().fileName, folder_.file("again.JPEG"));
    EXPECT_EQ(dialogs_.saveRequests.back().filterIndex, 3);
}

TEST_F(PictureCommandsWithFormats, APictureOfAnotherFormatIsSavedAsTwentyFourBitBmp)
{
    const std::string png = folder_.file("photo.png");
    QImage grey(10, 6, QImage::Format_Grayscale8);
    grey.fill(77);
    writeBytes(png, qtWritten(grey, "png"));
    ASSERT_TRUE(commands_.openFile(png));
    EXPECT_EQ(commands_.screenBitmap().format().bitsPerPixel, 24);
    saveAs("photo.bmp", 1);
    const Bitmap back = readBmp(readBytes(folder_.file("photo.bmp")));
    EXPECT_EQ(back.format().bitsPerPixel, 24);
    EXPECT_EQ(back.width(), 12) << "widened to a multiple of 4";
    EXPECT_EQ(toPixels(back).at(9, 5), (Rgb{77, 77, 77}));
    EXPECT_EQ(toPixels(back).at(11, 5), (Rgb{0, 0, 0}));
}

TEST_F(PictureCommandsWithFormats, ADamagedFileChangesNothing)
{
    ASSERT_TRUE(commands_.openFile(writeBmp(folder_, "start.bmp", gradient24(12, 10))));
    std::vector<std::uint8_t> jpeg = codec_.encode({gradient24(40, 40)}, PictureFormat::Jpeg, {}, {});
    jpeg.resize(jpeg.size() / 2);
    const std::string cut = folder_.file("cut.jpg");
    writeBytes(cut, jpeg);
    EXPECT_FALSE(commands_.openFile(cut));
    ASSERT_EQ(errors_.shown.size(), 1u);
    EXPECT_EQ(errors_.shown[0], "Cannot read the JPEG picture " + cut + ": The file ends before the picture does");
    EXPECT_EQ(model_.picture.width(), 12);
    EXPECT_EQ(commands_.screenBitmap().width(), 12);
    commands_.savePictureAs();
    EXPECT_EQ(dialogs_.saveRequests.back().fileName, folder_.file("start.bmp"));
}

} // namespace
} // namespace plexor::test
