// Writes seeds for the open path into the folder named on the command line:
// small pictures of every format the codec writes, in the kinds of pixel
// that convert differently (colour, grey, 16-bit colour with and without
// alpha and 16-bit grey, alpha, a colour table, a colour profile, a
// recorded orientation, EXIF, XMP and IPTC), a GIF, and HEIC and AVIF files
// written with libheif (colour, alpha, 10 and 12 bits, a profile, a turn,
// metadata), and the boxes of HEIC grids and overlays.

#include <cstdint>
#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <fstream>
#include <string>
#include <vector>

#include <QBuffer>
#include <QColor>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>

#include "fuzz/seed_folder.h"
#include "tests/support/crafted_heif.h"
#include "tests/support/heif_encoding.h"

// The HEVC encoder keeps a few blocks from each opening of an encoder to the
// end of the process (x265 3.5, in x265_encoder_open), in its own library,
// which the leak checker of this sanitized program is told.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libx265.so\n";
}

namespace {

QByteArray written(const QImage& image, const char* format, int transformation = 0)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, format);
    writer.setTransformation(QImageIOHandler::Transformations(transformation));
    writer.write(image);
    return bytes;
}

QImage patterned(QImage::Format format)
{
    QImage image(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgba(x * 36, y * 50, (x + y) * 20, 80 + x * 20));
    return image.convertToFormat(format);
}

// The same size in 16-bit channels whose low bytes are their own.
QImage deepPatterned(QImage::Format format)
{
    QImage image(7, 5, QImage::Format_RGBA64);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(
                x, y,
                QColor::fromRgba64(x * 9000 + y * 7, y * 13000 + x * 3, (x + y) * 5000 + 11, 20000 + x * 6000 + y));
    return image.convertToFormat(format);
}

// A 2 x 2 GIF of four colours, its codes uncompressed: a clear code before
// each pixel keeps every code at 3 bits.
QByteArray gif()
{
    const unsigned char bytes[] = {'G',  'I',  'F',  '8',  '9',  'a', 2,   0, 2,   0,   0x81, 0,   0,
                                   255,  0,    0,    0,    255,  0,   0,   0, 255, 255, 255,  255, // table
                                   0x2C, 0,    0,    0,    0,    2,   0,   2, 0,   0,   2,         // image, code size 2
                                   4,    0x04, 0x43, 0x71, 0x05, 0,   0x3B};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// `file` with a little of every kind of metadata, written by exiv2.
QByteArray tagged(const QByteArray& file, bool iptc)
{
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(file.data()), static_cast<long>(file.size()));
    image->readMetadata();
    image->exifData()["Exif.Image.Make"] = "Seed";
    image->exifData()["Exif.Image.Orientation"] = std::uint16_t{6};
    image->exifData()["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 30/1";
    image->xmpData()["Xmp.dc.subject"] = "seed";
    if (iptc) image->iptcData()["Iptc.Application2.Keywords"] = "seed";
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    const Exiv2::DataBuf bytes = io.read(static_cast<long>(io.size()));
    return QByteArray(reinterpret_cast<const char*>(bytes.pData_), bytes.size_);
}

void writeHeifSeeds(const SeedFolder& folder, const QByteArray& profile)
{
    using plexor::test::HeifCoding;
    const QImage alpha = patterned(QImage::Format_ARGB32);
    plexor::test::HeifSource source;
    source.width = alpha.width();
    source.height = alpha.height();
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const QRgb pixel = alpha.pixel(x, y);
            source.rgb.insert(source.rgb.end(),
                              {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
                               static_cast<std::uint8_t>(qBlue(pixel))});
            source.alpha.push_back(static_cast<std::uint8_t>(qAlpha(pixel)));
        }
    const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
    const std::vector<std::uint8_t> exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3,
                                            0,   1,   0,  0, 0, 6, 0, 0, 0, 0, 0,    0,    0};
    for (const HeifCoding coding : {HeifCoding::Hevc, HeifCoding::Av1}) {
        const std::string extension = coding == HeifCoding::Hevc ? ".heic" : ".avif";
        plexor::test::HeifSource plain = source;
        plain.alpha.clear();
        folder.write("colour-seed" + extension, plexor::test::encodeHeif(plain, coding));
        folder.write("alpha-seed" + extension, plexor::test::encodeHeif(source, coding));
        plexor::test::HeifSource more = plain;
        more.iccProfile.assign(profile.begin(), profile.end());
        more.orientation = 6;
        more.exif = exif;
        more.xmp.assign(xmp.begin(), xmp.end());
        folder.write("profile-turned-metadata-seed" + extension, plexor::test::encodeHeif(more, coding));
        // Deeper pictures: 10 bits (with alpha where the encoder writes it)
        // and 12 bits with alpha.
        for (const int bits : {10, 12}) {
            plexor::test::HeifSource deep;
            deep.width = source.width;
            deep.height = source.height;
            deep.bitDepth = bits;
            const bool withAlpha = bits == 12 || coding == HeifCoding::Hevc;
            for (std::size_t i = 0; i < source.alpha.size(); ++i) {
                for (std::size_t c = 0; c < 3; ++c)
                    deep.deepRgb.push_back(static_cast<std::uint16_t>(source.rgb[3 * i + c] << (bits - 8) | i % 4));
                if (withAlpha) deep.deepAlpha.push_back(static_cast<std::uint16_t>(source.alpha[i] << (bits - 8)));
            }
            folder.write("deep" + std::to_string(bits) + "-seed" + extension, plexor::test::encodeHeif(deep, coding));
        }
    }
    // The boxes that locate a grid's and an overlay's description, for
    // the check of the size they declare.
    using plexor::test::CraftedHeifItem;
    for (const int version : {0, 1, 2}) {
        const std::vector<CraftedHeifItem> items = {
            {"hvc1", std::vector<std::uint8_t>(24, 1)},
            {"grid", plexor::test::gridDescription(64, 48, version == 2), true},
            {"iovl", plexor::test::overlayDescription(640, 480, version == 1), false}};
        folder.write("derived" + std::to_string(version) + "-seed.heic", plexor::test::craftedHeif(items, version));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const SeedFolder folder(argc, argv);
    const QImage colour = patterned(QImage::Format_RGB32);
    QImage profiled = colour;
    profiled.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    for (const char* format : {"png", "jpeg", "tiff", "webp"}) {
        const std::string stem = std::string("seed.") + format;
        folder.write("colour-" + stem, written(colour, format));
        folder.write("grey-" + stem, written(patterned(QImage::Format_Grayscale8), format));
        folder.write("alpha-" + stem, written(patterned(QImage::Format_ARGB32), format));
        folder.write("deep-" + stem, written(deepPatterned(QImage::Format_RGBA64), format));
        folder.write("deep-opaque-" + stem, written(deepPatterned(QImage::Format_RGBX64), format));
        folder.write("grey16-" + stem, written(deepPatterned(QImage::Format_Grayscale16), format));
        folder.write("table-" + stem, written(patterned(QImage::Format_Indexed8), format));
        folder.write("profile-" + stem, written(profiled, format));
        folder.write("turned-" + stem, written(colour, format, QImageIOHandler::TransformationRotate90));
        folder.write("tagged-" + stem, tagged(written(profiled, format), std::string(format) != "webp"));
    }
    folder.write("seed.gif", gif());
    writeHeifSeeds(folder, QColorSpace(QColorSpace::AdobeRgb).iccProfile());
    return 0;
}
