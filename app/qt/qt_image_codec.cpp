#include "app/qt/qt_image_codec.h"

#include <algorithm>

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>

#include "app/qt/heif_reader.h"
#include "app/qt/heif_writer.h"
#include "app/qt/metadata_io.h"
#include "app/qt/picture_library_call.h"
#include "app/qt/qt_image_rows.h"
#include "platform/deep_channels.h"
#include "platform/picture_error.h"

namespace plexor {

namespace {

// Qt's name of the format's reader and writer.
QByteArray qtName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Png: return "png";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Tiff: return "tiff";
    case PictureFormat::Webp: return "webp";
    case PictureFormat::Gif: return "gif";
    // Read and written by libheif, not by Qt.
    case PictureFormat::Heic:
    case PictureFormat::Avif: return {};
    }
    return {};
}

std::size_t indexOf(PictureFormat format)
{
    return static_cast<std::size_t>(std::find(std::begin(kPictureFormats), std::end(kPictureFormats), format) -
                                    std::begin(kPictureFormats));
}

[[noreturn]] void throwReason(const QString& reason)
{
    throw PictureError(reason.toStdString());
}

bool isHeif(PictureFormat format) noexcept
{
    return format == PictureFormat::Heic || format == PictureFormat::Avif;
}

} // namespace

QtImageCodec::QtImageCodec(std::uint64_t maxPixels, unsigned encoderThreads)
    : maxPixels_(maxPixels), encoderThreads_(encoderThreads)
{
    const PictureLibraryCall call;
    // Room for the largest picture at 64 bits a pixel, as 16-bit pictures
    // are decoded, in megabytes.
    const std::uint64_t megabytes = (maxPixels * 8 + (1u << 20) - 1) >> 20;
    QImageReader::setAllocationLimit(static_cast<int>(std::min<std::uint64_t>(megabytes, 1u << 30)));
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    for (std::size_t i = 0; i < std::size(kPictureFormats); ++i) {
        const PictureFormat format = kPictureFormats[i];
        if (format == PictureFormat::Heic) {
            reads_[i] = heifDecodesHevc();
            writes_[i] = heifEncodesHevc();
        } else if (format == PictureFormat::Avif) {
            reads_[i] = heifDecodesAv1();
            writes_[i] = heifEncodesAv1();
        } else if (format != PictureFormat::Bmp) {
            reads_[i] = readable.contains(qtName(format));
            writes_[i] = format != PictureFormat::Gif && writable.contains(qtName(format));
        }
    }
}

bool QtImageCodec::canRead(PictureFormat format) const
{
    return reads_[indexOf(format)];
}

bool QtImageCodec::canWrite(PictureFormat format) const
{
    return writes_[indexOf(format)];
}

Picture QtImageCodec::decode(std::span<const std::uint8_t> file, PictureFormat format) const
{
    if (!canRead(format))
        throw PictureError(formatPictureMessage(picture_message::kFormatNotRead, pictureFormatName(format)));
    const PictureLibraryCall call;
    if (isHeif(format)) return pictureFromHeif(readHeif(file, maxPixels_));
    // The reader reads the caller's bytes in place.
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, qtName(format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() &&
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) > maxPixels_)
        throwPictureTooLarge(size.width(), size.height());
    QImage image;
    if (!reader.read(&image)) throwReason(reader.errorString());
    if (image.isNull()) throwReason(QStringLiteral("The picture is empty"));
    if (static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height()) > maxPixels_)
        throwPictureTooLarge(image.width(), image.height());
    return pictureFromImage(std::move(image));
}

std::vector<std::uint8_t> QtImageCodec::encode(const PicturePlanes& picture, PictureFormat format,
                                               const PictureMetadata& metadata, std::optional<int> quality) const
{
    if (!canWrite(format))
        throw PictureError(formatPictureMessage(picture_message::kFormatNotWritten, pictureFormatName(format)));
    if (!planesFit(picture) || picture.bitmap.empty()) throwBitmapInvalid();
    const PictureLibraryCall call;
    if (quality) quality = std::clamp(*quality, 1, 100);
    if (isHeif(format)) return encodeHeif(picture, format, metadata, quality.value_or(kHeifQuality));
    QImage image;
    const std::span<const std::uint8_t> noAlpha;
    const bool jpeg = format == PictureFormat::Jpeg;
    if ((format == PictureFormat::Png || format == PictureFormat::Tiff) && picture.bitDepth > 8) {
        image = deepImageFromPlanes(picture);
    } else if (!picture.lowBytes.empty()) {
        const Picture rounded = roundedTo8Bits(picture);
        image = imageFromBitmap(rounded.bitmap(), jpeg ? noAlpha : rounded.alpha().bytes());
    } else {
        image = imageFromBitmap(picture.bitmap, jpeg ? noAlpha : picture.alpha);
    }
    // Qt's writers embed a profile they can read; one they cannot is left to
    // the metadata, which keeps its bytes as they are.
    const std::vector<std::uint8_t>& iccProfile = metadata.iccProfile;
    if (!iccProfile.empty())
        image.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char*>(iccProfile.data()), static_cast<qsizetype>(iccProfile.size()))));
    // A WebP file takes metadata only in its extended form, which Qt writes
    // for a picture with a profile: a picture without one is sRGB anyway.
    else if (format == PictureFormat::Webp)
        image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, qtName(format));
    switch (format) {
    case PictureFormat::Jpeg: writer.setQuality(quality.value_or(kJpegQuality)); break;
    // Quality 100 is the lossless mode.
    case PictureFormat::Webp: writer.setQuality(quality.value_or(100)); break;
    // 1 is LZW, which loses nothing.
    case PictureFormat::Tiff: writer.setCompression(1); break;
    default: break;
    }
    if (!writer.write(image)) throwReason(writer.errorString());
    return std::vector<std::uint8_t>(bytes.cbegin(), bytes.cend());
}

std::vector<std::uint8_t> QtImageCodec::encodeHeif(const PicturePlanes& picture, PictureFormat format,
                                                   const PictureMetadata& metadata, int quality) const
{
    const int depth = heifDepthWritten(format, picture.bitDepth, !picture.alpha.empty());
    HeifPicture heif = heifFromPlanes(picture, depth);
    // The metadata goes in with the pixels; what cannot be written is left
    // out, and withMetadata() tells why.
    try {
        PictureMetadata saved = metadataAsSaved(metadata, heif.width, heif.height);
        heif.exif = std::move(saved.exif);
        heif.xmp = std::move(saved.xmp);
    } catch (const PictureError&) {}
    heif.iccProfile = metadata.iccProfile;
    return writeHeif(heif, format, HeifEncoding{quality, encoderThreads_});
}

PictureMetadata QtImageCodec::readMetadata(std::span<const std::uint8_t> file, PictureFormat format) const
{
    // A GIF holds none of it; HEIC and AVIF files give theirs to libheif.
    if (format == PictureFormat::Gif) return {};
    const PictureLibraryCall call;
    if (isHeif(format)) {
        HeifPicture heif = readHeifMetadata(file);
        return PictureMetadata{std::move(heif.exif), std::move(heif.xmp), {}, std::move(heif.iccProfile)};
    }
    return readPictureMetadata(file, format);
}

std::vector<std::uint8_t> QtImageCodec::withMetadata(std::span<const std::uint8_t> file, PictureFormat format,
                                                     const PictureMetadata& metadata, std::int32_t width,
                                                     std::int32_t height) const
{
    if (format == PictureFormat::Gif || format == PictureFormat::Bmp || metadata.empty())
        return {file.begin(), file.end()};
    const PictureLibraryCall call;
    // encode() wrote it with the pixels, leaving out what cannot be written,
    // for which this gives the reason.
    if (isHeif(format)) {
        metadataAsSaved(metadata, width, height);
        return {file.begin(), file.end()};
    }
    std::vector<std::uint8_t> written = writePictureMetadata(file, format, metadata, width, height);
    // Whatever went wrong in writing must not cost the picture itself.
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(written.data()), static_cast<qsizetype>(written.size()));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, qtName(format));
    if (reader.size() != QSize(width, height)) throw PictureError("the file with it would not read again");
    return written;
}

} // namespace plexor
