// Picture files of every format through the Qt image codec, without a
// display or an application object: round trips, what is converted on the
// way in, damaged files and failed writes.

#include <unistd.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include "app/picture_commands.h"
#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "platform/bmp_reader.h"
#include "platform/picture_error.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_gif.h"
#include "tests/support/files.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

// JPEG at quality 92 of a smooth picture: no channel of any pixel is more
// than this far from the original (3 is seen).
constexpr int kJpegTolerance = 4;

// The last value of a JPEG file's first quantisation table: the standard
// luminance table's 99 scaled by the quality, 16 at quality 92.
int LastLuminanceQuantiser(const std::vector<std::uint8_t>& jpeg)
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

std::vector<std::uint8_t> QtWritten(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&device, format).write(image));
    return {bytes.cbegin(), bytes.cend()};
}

// The largest difference of any channel of any pixel.
int LargestDifference(const Pixels& a, const Pixels& b)
{
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    if (a.Bgr.size() != b.Bgr.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.Bgr.size(); ++i) largest = std::max(largest, std::abs(a.Bgr[i] - b.Bgr[i]));
    return largest;
}

std::string OpenError(const std::string& path, const ImageCodec& codec)
{
    try {
        OpenPicture(path, codec);
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
        EXPECT_TRUE(codec_.CanRead(format)) << PictureFormatName(format);
        EXPECT_EQ(codec_.CanWrite(format), format != PictureFormat::Gif) << PictureFormatName(format);
    }
}

TEST_F(PictureFormats, SavedPicturesOpenAgainAsTheyWereLosslessButForJpeg)
{
    // A smooth picture of an odd width, and one with a colour table, which
    // is saved at 24 bits in every format but BMP.
    const TBitmap gradient = Gradient24(97, 50);
    std::vector<RgbQuad> table;
    for (int i = 0; i < 16; ++i)
        table.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 8), 40, 0});
    TBitmap indexed(33, 20, PixelFormat::Indexed(4, table));
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::size_t b = 0; b < indexed.Stride(); ++b) indexed.Row(y)[b] = static_cast<std::uint8_t>(b * 37 + y);

    for (const TBitmap* original : std::initializer_list<const TBitmap*>{&gradient, &indexed}) {
        for (const PictureFormat format :
             {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Tiff, PictureFormat::Webp, PictureFormat::Bmp}) {
            SCOPED_TRACE(PictureFormatName(format));
            const std::string path = folder_.File("picture." + std::string(PictureFormatExtensions(format).front()));
            SavePicture(*original, path, format, codec_);
            OpenedPicture opened = OpenPicture(path, codec_);
            EXPECT_EQ(opened.Format, format);
            const TBitmap& back = opened.Picture.Bitmap();
            EXPECT_EQ(back.Format().BitsPerPixel, format == PictureFormat::Bmp ? original->Format().BitsPerPixel : 24);
            const int difference = LargestDifference(ToPixels(back), ToPixels(*original));
            if (format != PictureFormat::Jpeg) {
                EXPECT_EQ(difference, 0);
            } else if (original == &gradient) {
                EXPECT_LE(difference, kJpegTolerance);
            }
            if (format == PictureFormat::Jpeg) {
                EXPECT_EQ(LastLuminanceQuantiser(ReadBytes(path)), 16);
            }
            if (format == PictureFormat::Png) {
                // Header: bit depth 8, colour type 2, red-green-blue.
                const std::vector<std::uint8_t> file = ReadBytes(path);
                ASSERT_GT(file.size(), 26u);
                EXPECT_EQ(file[24], 8);
                EXPECT_EQ(file[25], 2);
            }
        }
    }
    EXPECT_EQ(folder_.Entries().size(), 5u) << "no temporary file is left";
}

// A JPEG file with an EXIF block that gives `orientation`, put right after
// the start-of-image marker of a file Qt wrote.
std::vector<std::uint8_t> WithExifOrientation(std::vector<std::uint8_t> jpeg, std::uint16_t orientation)
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

TEST_F(PictureFormats, TheOrientationAJpegRecordsIsApplied)
{
    // Four flat quarters: red, green above blue, white.
    QImage image(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y,
                           y < 8 ? (x < 16 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                 : (x < 16 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
    const std::vector<std::uint8_t> plain = QtWritten(image, "jpeg");

    // 6: the stored rows are the picture turned a quarter to the left; shown
    // turned back, a quarter to the right.
    const TBitmap turned = codec_.Decode(WithExifOrientation(plain, 6), PictureFormat::Jpeg);
    ASSERT_EQ(turned.Width(), 16);
    ASSERT_EQ(turned.Height(), 32);
    const Pixels pixels = ToPixels(turned);
    const auto near = [](Rgb a, Rgb b) {
        return std::abs(a.Red - b.Red) <= 24 && std::abs(a.Green - b.Green) <= 24 && std::abs(a.Blue - b.Blue) <= 24;
    };
    EXPECT_TRUE(near(pixels.At(4, 8), Rgb{0, 0, 255})) << pixels.At(4, 8);
    EXPECT_TRUE(near(pixels.At(12, 8), Rgb{255, 0, 0})) << pixels.At(12, 8);
    EXPECT_TRUE(near(pixels.At(4, 24), Rgb{255, 255, 255})) << pixels.At(4, 24);
    EXPECT_TRUE(near(pixels.At(12, 24), Rgb{0, 255, 0})) << pixels.At(12, 24);

    // 1 is the stored order.
    EXPECT_EQ(codec_.Decode(WithExifOrientation(plain, 1), PictureFormat::Jpeg).Width(), 32);
}

TEST_F(PictureFormats, GreySixteenBitAndTranslucentPicturesBecomeTwentyFourBitColour)
{
    QImage grey(5, 3, QImage::Format_Grayscale8);
    QImage grey16(5, 3, QImage::Format_Grayscale16);
    QImage deep(5, 3, QImage::Format_RGBA64);
    QImage translucent(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int v = x * 50 + y;
            grey.scanLine(y)[x] = static_cast<uchar>(v);
            reinterpret_cast<quint16*>(grey16.scanLine(y))[x] = static_cast<quint16>(v * 257 + 100);
            deep.setPixelColor(x, y, QColor::fromRgba64(v * 257, 65535 - v * 257, 1000, 65535 - x * 16000));
            // The colours of every pixel, even of a fully transparent one,
            // are what the file stored.
            translucent.setPixel(x, y, qRgba(v, 200 - v, 30, x * 60));
        }
    // TIFF files store translucent colours multiplied by their alpha, so
    // only PNG keeps those of transparent pixels.
    struct Case {
        const char* Name;
        const QImage& Image;
        Rgb (*Expected)(int v);
        std::vector<const char*> Formats;
    };
    const Case cases[] = {
        {"grey",
         grey,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)};
         },
         {"png", "tiff"}},
        {"grey 16",
         grey16,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)};
         },
         {"png", "tiff"}},
        {"16 bits with alpha",
         deep,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(255 - v), 4};
         },
         {"png"}},
        {"alpha",
         translucent,
         [](int v) {
             return Rgb{std::uint8_t(v), std::uint8_t(200 - v), 30};
         },
         {"png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const char* format : c.Formats) {
            SCOPED_TRACE(format);
            const TBitmap bitmap = codec_.Decode(QtWritten(c.Image, format), *PictureFormatOfExtension(format));
            EXPECT_EQ(bitmap.Format().BitsPerPixel, 24);
            const Pixels pixels = ToPixels(bitmap);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) EXPECT_EQ(pixels.At(x, y), c.Expected(x * 50 + y)) << x << ", " << y;
        }
    }
}

TEST_F(PictureFormats, APictureWithAColourProfileIsConvertedToSrgb)
{
    // Linear light: half of full intensity is 188 in sRGB, 0 and 255 stay.
    QImage linear(3, 1, QImage::Format_RGB32);
    linear.setPixel(0, 0, qRgb(128, 128, 128));
    linear.setPixel(1, 0, qRgb(0, 0, 0));
    linear.setPixel(2, 0, qRgb(255, 255, 255));
    linear.setColorSpace(QColorSpace(QColorSpace::SRgbLinear));
    for (const char* format : {"png", "jpeg"}) {
        SCOPED_TRACE(format);
        const Pixels pixels = ToPixels(codec_.Decode(QtWritten(linear, format), *PictureFormatOfExtension(format)));
        EXPECT_NEAR(pixels.At(0, 0).Green, 188, 2);
        EXPECT_NEAR(pixels.At(1, 0).Green, 0, 2);
        EXPECT_NEAR(pixels.At(2, 0).Green, 255, 2);
    }
    // A picture already in sRGB keeps its values.
    linear.setColorSpace(QColorSpace(QColorSpace::SRgb));
    EXPECT_EQ(ToPixels(codec_.Decode(QtWritten(linear, "png"), PictureFormat::Png)).At(0, 0), (Rgb{128, 128, 128}));
}

TEST_F(PictureFormats, TheFirstFrameOfAGifIsRead)
{
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 0, 0}, {10, 200, 30}};
    std::vector<std::uint8_t> indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 3);
    const std::string path = folder_.File("moving.gif");
    WriteBytes(path, CraftedGif(7, 4, palette, indices));
    OpenedPicture opened = OpenPicture(path, codec_);
    EXPECT_EQ(opened.Format, PictureFormat::Gif);
    const Pixels pixels = ToPixels(opened.Picture.Bitmap());
    for (std::size_t i = 0; i < indices.size(); ++i)
        EXPECT_EQ(pixels.At(static_cast<int>(i % 7), static_cast<int>(i / 7)), palette[indices[i]]);
}

TEST_F(PictureFormats, DamagedAndUnknownFilesAreRefusedWithTheirNameAndReason)
{
    const TBitmap picture = Gradient24(64, 48);
    std::vector<Rgb> palette(128);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = {std::uint8_t(i), std::uint8_t(2 * i), 9};
    std::vector<std::uint8_t> indices(64 * 48);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 128);
    struct Case {
        PictureFormat Format;
        std::vector<std::uint8_t> Whole;
    };
    std::vector<Case> cases = {{PictureFormat::Gif, CraftedGif(64, 48, palette, indices)}};
    for (const PictureFormat format :
         {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Tiff, PictureFormat::Webp})
        cases.push_back({format, codec_.Encode(picture, format)});

    for (const Case& c : cases) {
        const std::string name(PictureFormatName(c.Format));
        const std::string path = folder_.File("cut." + std::string(PictureFormatExtensions(c.Format).front()));
        for (const std::size_t keep : {c.Whole.size() / 2, c.Whole.size() * 3 / 4, std::size_t{20}}) {
            SCOPED_TRACE(name + " cut to " + std::to_string(keep));
            WriteBytes(path, std::vector<std::uint8_t>(c.Whole.begin(), c.Whole.begin() + keep));
            const std::string error = OpenError(path, codec_);
            EXPECT_EQ(error.rfind("Cannot read the " + name + " picture " + path + ": ", 0), 0u) << error;
            EXPECT_GT(error.size(), ("Cannot read the " + name + " picture " + path + ": ").size());
        }
    }
    // Content of no known format decides nothing; the extension then does.
    const std::string text = folder_.File("notes.png");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EQ(OpenError(text, codec_).rfind("Cannot read the PNG picture " + text + ": ", 0), 0u);
    const std::string targa = folder_.File("picture.tga");
    WriteBytes(targa, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3});
    EXPECT_EQ(OpenError(targa, codec_), "Unknown picture file extension (.tga)");
    // A format the codec cannot read is said to be so.
    const std::string png = folder_.File("real.png");
    WriteBytes(png, codec_.Encode(picture, PictureFormat::Png));
    EXPECT_EQ(OpenError(png, BmpOnlyCodec()), "PNG pictures cannot be read here");
}

TEST_F(PictureFormats, ContentDecidesOverTheExtension)
{
    const TBitmap picture = Gradient24(8, 8);
    const std::string bmpNamedJpg = folder_.File("photo.JPG");
    WriteBytes(bmpNamedJpg, EncodeBmp(picture));
    const std::string pngNamedBmp = folder_.File("old.bmp");
    WriteBytes(pngNamedBmp, codec_.Encode(picture, PictureFormat::Png));
    EXPECT_EQ(OpenPicture(bmpNamedJpg, codec_).Format, PictureFormat::Bmp);
    OpenedPicture png = OpenPicture(pngNamedBmp, codec_);
    EXPECT_EQ(png.Format, PictureFormat::Png);
    EXPECT_EQ(ToPixels(png.Picture.Bitmap()), ToPixels(picture));
}

TEST_F(PictureFormats, AFailedWriteNamesTheFileAndTheReasonAndKeepsTheOldFile)
{
    const TBitmap picture = Gradient24(16, 16);
    // Even root cannot make a file in the kernel's own folder.
    const std::string folder = ::geteuid() == 0 ? "/sys" : "/";
    const std::string refused = folder + "/plexor-picture.png";
    try {
        SavePicture(picture, refused, PictureFormat::Png, codec_);
        ADD_FAILURE() << "saved into " << folder;
    } catch (const PictureError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + refused + ": Permission denied");
    }
    // A folder in the way of the name stays as it was.
    const std::string taken = folder_.File("taken.webp");
    std::filesystem::create_directory(taken);
    EXPECT_THROW(SavePicture(picture, taken, PictureFormat::Webp, codec_), PictureError);
    EXPECT_TRUE(std::filesystem::is_directory(taken));
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"taken.webp"});
}

TEST_F(PictureFormats, EveryGoodSampleSavedAsPngByQtOpensAsTheBitmapReaderReadsIt)
{
    REQUIRE_SHARED_FOLDER(folder, "bmpsuite/g");
    for (const auto& path : BmpFilesIn(*folder)) {
        SCOPED_TRACE(path.filename().string());
        const Pixels expected = ToPixels(ReadBmp(ReadBytes(path)));
        QImage image(expected.Width, expected.Height, QImage::Format_RGB888);
        for (int y = 0; y < expected.Height; ++y)
            for (int x = 0; x < expected.Width; ++x) {
                const Rgb c = expected.At(x, y);
                image.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
        const std::string png = folder_.File(path.stem().string() + ".png");
        WriteBytes(png, QtWritten(image, "png"));
        OpenedPicture opened = OpenPicture(png, codec_);
        EXPECT_EQ(opened.Format, PictureFormat::Png);
        EXPECT_TRUE(ToPixels(opened.Picture.Bitmap()) == expected);
    }
}

class PictureCommandsWithFormats : public PictureFormats {
protected:
    PictureCommandsWithFormats() { model_.Messages = &messages_; }

    // Saves through the dialog answered with `name` and filter entry `entry`.
    void SaveAs(const std::string& name, int entry)
    {
        dialogs_.saveAnswers.push_back(FileDialogChoice{folder_.File(name), entry});
        commands_.MISaveAsClick();
    }

    DeformModel model_;
    RecordingSink messages_;
    FakeErrors errors_;
    FakeDialogs dialogs_;
    FakeFrame frame_;
    FakeImage image_;
    PictureCommands commands_{model_, dialogs_, frame_, image_, errors_, codec_};
};

TEST_F(PictureCommandsWithFormats, DialogsListEveryFormatAndSaveProposesTheOpenedOne)
{
    commands_.MIOpenClick();
    ASSERT_EQ(dialogs_.openRequests.size(), 1u);
    EXPECT_EQ(dialogs_.openRequests[0].Filter,
              "All pictures (*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*.webp;*.gif)|"
              "*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*.webp;*.gif|"
              "BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"
              "JPEG pictures (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
              "TIFF pictures (*.tif;*.tiff)|*.tif;*.tiff|WebP pictures (*.webp)|*.webp|"
              "GIF pictures (*.gif)|*.gif|All files (*.*)|*.*");

    const std::string tiff = folder_.File("scan.tif");
    SavePicture(Gradient24(12, 10), tiff, PictureFormat::Tiff, codec_);
    ASSERT_TRUE(commands_.OpenFile(tiff));
    commands_.MISaveAsClick();
    ASSERT_EQ(dialogs_.saveRequests.size(), 1u);
    const FileDialogRequest& proposed = dialogs_.saveRequests[0];
    EXPECT_EQ(proposed.Filter, "BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"
                               "JPEG pictures (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
                               "TIFF pictures (*.tif;*.tiff)|*.tif;*.tiff|WebP pictures (*.webp)|*.webp");
    EXPECT_EQ(proposed.FileName, tiff);
    EXPECT_EQ(proposed.FilterIndex, 4);
    EXPECT_EQ(proposed.DefaultExtension, "tif");

    // A name whose extension is not its content's is proposed with the
    // content's extension, since the typed extension decides the format.
    const std::string misnamed = folder_.File("photo.jpg");
    SavePicture(Gradient24(12, 10), misnamed, PictureFormat::Webp, codec_);
    ASSERT_TRUE(commands_.OpenFile(misnamed));
    commands_.MISaveAsClick();
    EXPECT_EQ(dialogs_.saveRequests.back().FileName, folder_.File("photo.webp"));
    EXPECT_EQ(dialogs_.saveRequests.back().FilterIndex, 5);

    // GIF is not written: the same name is proposed as PNG.
    const std::string gif = folder_.File("moving.gif");
    WriteBytes(gif, CraftedGif(4, 4, {{1, 2, 3}}, std::vector<std::uint8_t>(16, 0)));
    ASSERT_TRUE(commands_.OpenFile(gif));
    commands_.MISaveAsClick();
    EXPECT_EQ(dialogs_.saveRequests.back().FileName, folder_.File("moving.png"));
    EXPECT_EQ(dialogs_.saveRequests.back().FilterIndex, 2);
    EXPECT_EQ(dialogs_.saveRequests.back().DefaultExtension, "png");
}

TEST_F(PictureCommandsWithFormats, TheTypedExtensionOrElseTheChosenEntryDecidesTheFormat)
{
    ASSERT_TRUE(commands_.OpenFile(WriteBmp(folder_, "start.bmp", Gradient24(12, 10))));
    SaveAs("typed.webp", 1); // BMP chosen, WebP typed
    SaveAs("untyped", 2);    // PNG chosen
    SaveAs("notes.txt", 4);  // TIFF chosen, an extension of no format typed
    SaveAs("again.JPEG", 5); // WebP chosen, JPEG typed
    EXPECT_TRUE(errors_.shown.empty());
    EXPECT_EQ(PictureFormatOfContent(ReadBytes(folder_.File("typed.webp"))), PictureFormat::Webp);
    EXPECT_EQ(PictureFormatOfContent(ReadBytes(folder_.File("untyped"))), PictureFormat::Png);
    EXPECT_EQ(PictureFormatOfContent(ReadBytes(folder_.File("notes.txt"))), PictureFormat::Tiff);
    EXPECT_EQ(PictureFormatOfContent(ReadBytes(folder_.File("again.JPEG"))), PictureFormat::Jpeg);
    // The next proposal is the last save, in the format it was written in.
    commands_.MISaveAsClick();
    EXPECT_EQ(dialogs_.saveRequests.back().FileName, folder_.File("again.JPEG"));
    EXPECT_EQ(dialogs_.saveRequests.back().FilterIndex, 3);
}

TEST_F(PictureCommandsWithFormats, APictureOfAnotherFormatIsSavedAsTwentyFourBitBmp)
{
    const std::string png = folder_.File("photo.png");
    QImage grey(10, 6, QImage::Format_Grayscale8);
    grey.fill(77);
    WriteBytes(png, QtWritten(grey, "png"));
    ASSERT_TRUE(commands_.OpenFile(png));
    EXPECT_EQ(commands_.ScreenBitmap().Format().BitsPerPixel, 24);
    SaveAs("photo.bmp", 1);
    const TBitmap back = ReadBmp(ReadBytes(folder_.File("photo.bmp")));
    EXPECT_EQ(back.Format().BitsPerPixel, 24);
    EXPECT_EQ(back.Width(), 12) << "widened to a multiple of 4";
    EXPECT_EQ(ToPixels(back).At(9, 5), (Rgb{77, 77, 77}));
    EXPECT_EQ(ToPixels(back).At(11, 5), (Rgb{0, 0, 0}));
}

TEST_F(PictureCommandsWithFormats, ADamagedFileChangesNothing)
{
    ASSERT_TRUE(commands_.OpenFile(WriteBmp(folder_, "start.bmp", Gradient24(12, 10))));
    std::vector<std::uint8_t> jpeg = codec_.Encode(Gradient24(40, 40), PictureFormat::Jpeg);
    jpeg.resize(jpeg.size() / 2);
    const std::string cut = folder_.File("cut.jpg");
    WriteBytes(cut, jpeg);
    EXPECT_FALSE(commands_.OpenFile(cut));
    ASSERT_EQ(errors_.shown.size(), 1u);
    EXPECT_EQ(errors_.shown[0], "Cannot read the JPEG picture " + cut + ": The file ends before the picture does");
    EXPECT_EQ(model_.ImageWidth, 12);
    EXPECT_EQ(commands_.ScreenBitmap().Width(), 12);
    commands_.MISaveAsClick();
    EXPECT_EQ(dialogs_.saveRequests.back().FileName, folder_.File("start.bmp"));
}

} // namespace
} // namespace plexor::test
