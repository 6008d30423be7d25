// What a picture file holds beside its pixels, kept from the file opened to
// every file saved from it: EXIF, XMP and IPTC, and the colour profile.

#include <exiv2/exiv2.hpp>
#include <map>

#include <QColorSpace>
#include <QImage>

#include <gtest/gtest.h>

#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "tests/support/colours.h"
#include "tests/support/files.h"
#include "tests/support/qt_image_bytes.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {
namespace {

// A picture of distinct pixel values in Display P3, as a file of `format`.
std::vector<std::uint8_t> p3Picture(const char* format, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 6, y * 8, (x + y) * 3));
    image.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    return qtWritten(image, format);
}

// A phone's picture: taken turned (orientation 6), with its maker, model,
// time, place, a thumbnail, an XMP subject and IPTC keywords.
std::vector<std::uint8_t> phoneJpeg()
{
    const std::vector<std::uint8_t> jpeg = p3Picture("jpeg");
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    exif["Exif.Image.Make"] = "Plexor Phones";
    exif["Exif.Image.Model"] = "P1";
    exif["Exif.Image.Orientation"] = std::uint16_t{6};
    exif["Exif.Photo.DateTimeOriginal"] = "2026:11:30 14:05:09";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 30/1";
    const std::vector<std::uint8_t> thumbnail = p3Picture("jpeg", 8, 6);
    Exiv2::ExifThumb(exif).setJpegThumbnail(thumbnail.data(), static_cast<long>(thumbnail.size()));
    image->xmpData()["Xmp.dc.subject"] = "bridge";
    image->iptcData()["Iptc.Application2.Keywords"] = "river";
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
    return {written.pData_, written.pData_ + written.size_};
}

std::map<std::string, std::string> tagsIn(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp,
                                          const Exiv2::IptcData& iptc)
{
    std::map<std::string, std::string> tags;
    for (const Exiv2::Exifdatum& d : exif) tags[d.key()] = d.toString();
    for (const Exiv2::Xmpdatum& d : xmp) tags[d.key()] = d.toString();
    for (const Exiv2::Iptcdatum& d : iptc) tags[d.key()] = d.toString();
    tags["thumbnail"] = std::to_string(Exiv2::ExifThumbC(exif).copy().size_);
    return tags;
}

// The tags the tests look at, as exiv2 reads them from a file.
std::map<std::string, std::string> tagsOf(const std::string& path)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    return tagsIn(image->exifData(), image->xmpData(), image->iptcData());
}

// The same of the EXIF block and XMP packet a HEIC or AVIF file gives
// libheif: exiv2 here misses those of a HEIC file that crops its picture
// with a grid, as the HEIC files written here do.
std::map<std::string, std::string> tagsOf(const PictureMetadata& metadata)
{
    Exiv2::ExifData exif;
    Exiv2::ExifParser::decode(exif, metadata.exif.data(), static_cast<std::uint32_t>(metadata.exif.size()));
    Exiv2::XmpData xmp;
    EXPECT_EQ(Exiv2::XmpParser::decode(xmp, std::string(metadata.xmp.begin(), metadata.xmp.end())), 0);
    return tagsIn(exif, xmp, {});
}

class PictureMetadataTest : public ::testing::Test {
protected:
    QtImageCodec codec_{kMaxBitmapPixels, 1}; // HEIC and AVIF encoded on one thread
    TempFolder folder_;
};

TEST_F(PictureMetadataTest, APhonesMetadataReachesEverySavedFormatUprightOfItsSizeAndWithoutThumbnail)
{
    OpenedPicture opened = openPicture(folder_.write("phone.jpg", phoneJpeg()), codec_);
    ASSERT_TRUE(opened.metadataNote.empty()) << opened.metadataNote;
    Bitmap& bitmap = opened.picture.bitmap();
    EXPECT_EQ(bitmap.width(), 30) << "turned as the file says";
    for (const PictureFormat format : {PictureFormat::Jpeg, PictureFormat::Png, PictureFormat::Tiff,
                                       PictureFormat::Webp, PictureFormat::Heic, PictureFormat::Avif}) {
        const std::string name(pictureFormatName(format));
        SCOPED_TRACE(name);
        const std::string path = folder_.file("saved." + name);
        EXPECT_EQ(savePicture({bitmap}, opened.metadata, path, format, codec_), "");
        const bool heif = format == PictureFormat::Heic || format == PictureFormat::Avif;
        OpenedPicture again = openPicture(path, codec_);
        std::map<std::string, std::string> tags = heif ? tagsOf(again.metadata) : tagsOf(path);
        EXPECT_EQ(tags["Exif.Image.Make"], "Plexor Phones");
        EXPECT_EQ(tags["Exif.Image.Model"], "P1");
        EXPECT_EQ(tags["Exif.Photo.DateTimeOriginal"], "2026:11:30 14:05:09");
        EXPECT_EQ(tags["Exif.GPSInfo.GPSLatitude"], "48/1 51/1 30/1");
        EXPECT_EQ(tags["Exif.Image.Orientation"], "1");
        EXPECT_EQ(tags["Exif.Photo.PixelXDimension"], "30");
        EXPECT_EQ(tags["Exif.Photo.PixelYDimension"], "40");
        EXPECT_EQ(tags["thumbnail"], "0");
        EXPECT_EQ(tags["Xmp.dc.subject"], "bridge");
        if (format != PictureFormat::Webp && !heif) {
            EXPECT_EQ(tags["Iptc.Application2.Keywords"], "river");
        }
        // Read again as a picture, it stands as it was saved, in its profile.
        EXPECT_EQ(again.picture.bitmap().width(), 30);
        EXPECT_EQ(again.metadata.iccProfile, opened.metadata.iccProfile);
    }
}

TEST_F(PictureMetadataTest, TheProfileAndThePixelValuesStayAsTheFileHasThem)
{
    const QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    const std::vector<std::uint8_t> p3(profile.cbegin(), profile.cend());
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Tiff, PictureFormat::Webp}) {
        const std::string name(pictureFormatName(format));
        SCOPED_TRACE(name);
        const std::string original = folder_.write("p3." + name, p3Picture(QByteArray::fromStdString(name).toLower()));
        OpenedPicture opened = openPicture(original, codec_);
        EXPECT_EQ(opened.metadata.iccProfile, p3);
        EXPECT_EQ(toPixels(opened.picture.bitmap()).at(5, 3), (Rgb{30, 24, 24})) << "unconverted";
        const std::string copy = folder_.file("copy." + name);
        savePicture(opened.picture.planes(), opened.metadata, copy, format, codec_);
        OpenedPicture again = openPicture(copy, codec_);
        EXPECT_EQ(again.metadata.iccProfile, p3);
        EXPECT_EQ(toPixels(again.picture.bitmap()), toPixels(opened.picture.bitmap()));
    }
}

TEST_F(PictureMetadataTest, AFileWhoseMetadataIsDamagedStillOpensAndSaysSo)
{
    // An EXIF block that is no TIFF structure, first in the file.
    std::vector<std::uint8_t> jpeg = p3Picture("jpeg");
    std::vector<std::uint8_t> app1 = {0xFF, 0xE1, 0x00, 0x20, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xFF, 0xFF};
    app1.resize(2 + 0x20, 0xAB);
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    const std::string path = folder_.write("damaged.jpg", jpeg);
    OpenedPicture opened = openPicture(path, codec_);
    EXPECT_EQ(opened.picture.bitmap().width(), 40);
    EXPECT_TRUE(opened.metadata.empty());
    EXPECT_TRUE(opened.metadataNote.starts_with("The metadata of " + path + " cannot be read")) << opened.metadataNote;

    // Metadata that cannot be written leaves the picture written without it.
    PictureMetadata unreadable;
    unreadable.xmp = {'<', 'n', 'o', 't'};
    const std::string saved = folder_.file("saved.png");
    const std::string note = savePicture(opened.picture.planes(), unreadable, saved, PictureFormat::Png, codec_);
    EXPECT_TRUE(note.starts_with(saved + " is saved without its metadata")) << note;
    EXPECT_EQ(openPicture(saved, codec_).picture.bitmap().width(), 40);

    // A file that exiv2 takes for a video, read as the JPEG its name says,
    // is never handed to exiv2's video parsers, which the fuzzer kept busy
    // for longer than it waits on such a file's start.
    const std::vector<std::uint8_t> movie = {2, 0, 0, 0x1C, 'f', 't', 'y', 'p', 'a', 'v', 'y', 'f'};
    try {
        codec_.readMetadata(movie, PictureFormat::Jpeg);
        ADD_FAILURE() << "read as a JPEG";
    } catch (const PictureError& error) {
        EXPECT_STREQ(error.what(), "the file's metadata is not where its format keeps it");
    }
}

} // namespace
} // namespace plexor::test
