#include "app/picture_files.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/deep_channels.h"
#include "platform/file_io.h"
#include "platform/picture_completeness.h"
#include "platform/picture_error.h"
#include "platform/picture_signature.h"

namespace plexor {

namespace {

// BMP, then every other format that `can` takes.
template <class Can>
std::vector<PictureFormat> formatsWhere(Can can)
{
    std::vector<PictureFormat> formats;
    for (const PictureFormat format : kPictureFormats)
        if (format == PictureFormat::Bmp || can(format)) formats.push_back(format);
    return formats;
}

// A 24-bit picture and its alpha as one opaque picture over white, as a
// format without transparency shows it.
Bitmap overWhite(const Bitmap& bitmap, std::span<const std::uint8_t> alpha)
{
    Bitmap opaque(bitmap.width(), bitmap.height(), PixelFormat::rgb24());
    const std::size_t width = static_cast<std::size_t>(bitmap.width());
    for (std::int32_t y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* from = bitmap.row(y);
        const std::uint8_t* a = alpha.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* to = opaque.row(y);
        for (std::size_t i = 0; i < 3 * width; ++i) {
            const std::uint32_t level = a[i / 3];
            to[i] = static_cast<std::uint8_t>((from[i] * level + 255 * (255 - level) + 127) / 255);
        }
    }
    return opaque;
}

// The picture as a format of neither transparency nor deeper channels takes
// it: each channel rounded to 8 bits, and laid over white where it has
// alpha. Nothing where the bitmap is that already.
std::optional<Bitmap> flattened(const PicturePlanes& picture)
{
    if (picture.lowBytes.empty())
        return picture.alpha.empty() ? std::nullopt : std::optional(overWhite(picture.bitmap, picture.alpha));
    Picture rounded = roundedTo8Bits(picture);
    if (rounded.alpha().empty()) return std::move(rounded.bitmap());
    return overWhite(rounded.bitmap(), rounded.alpha().bytes());
}

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A file that names no picture format by content or extension: an icon or a
// metafile by its extension, compared without case, and checked by its
// signature; or refused for its extension.
Picture openIconOrMetafile(const std::string& path)
{
    const std::string extension = pictureFileExtension(path);
    const std::string kind = lowercase(extension);
    if (kind == "ico") {
        if (!isIconSignature(readFileHead(path, kSignatureBytes).bytes()))
            throw PictureError(std::string(picture_message::kIconInvalid));
        return Picture{};
    }
    if (kind == "wmf" || kind == "emf") {
        const ByteBuffer head = readFileHead(path, kSignatureBytes);
        const bool valid =
            kind == "wmf" ? isMetafileSignature(head.bytes()) : isEnhancedMetafileSignature(head.bytes());
        if (!valid) throw PictureError(std::string(picture_message::kMetafileInvalid));
        return Picture{};
    }
    throw PictureError(formatPictureMessage(picture_message::kUnknownExtension, extension));
}

} // namespace

std::optional<PictureFormat> formatToRead(std::span<const std::uint8_t> head, std::string_view extension) noexcept
{
    if (const auto format = pictureFormatOfContent(head)) return format;
    return pictureFormatOfExtension(extension);
}

Picture decodePicture(std::span<const std::uint8_t> file, PictureFormat format, const ImageCodec& codec)
{
    if (format == PictureFormat::Bmp) return Picture::fromBitmap(readBmp(file));
    const bool cut = (format == PictureFormat::Jpeg && !jpegReachesItsEnd(file)) ||
                     (format == PictureFormat::Gif && !gifReachesTheEndOfItsFirstFrame(file));
    if (cut) throw PictureError(std::string(picture_message::kPictureCut));
    return codec.decode(file, format);
}

Picture decodePicture(ByteBuffer&& file, PictureFormat format, const ImageCodec& codec)
{
    // The bitmap reader may keep the file's memory as the bitmap's rows.
    if (format == PictureFormat::Bmp) return Picture::fromBitmap(readBmp(std::move(file)));
    return decodePicture(file.bytes(), format, codec);
}

OpenedPicture openPicture(const std::string& path, const ImageCodec& codec)
{
    const ByteBuffer head = readFileHead(path, kPictureSignatureBytes);
    const std::optional<PictureFormat> format = formatToRead(head.bytes(), pictureFileExtension(path));
    if (!format) return {openIconOrMetafile(path), PictureFormat::Bmp, {}, {}};
    const std::string_view name = pictureFormatName(*format);
    if (*format != PictureFormat::Bmp && !codec.canRead(*format))
        throw PictureError(formatPictureMessage(picture_message::kFormatNotRead, name));
    ByteBuffer file = readWholeFile(path, kMaxPictureFileBytes);
    if (*format == PictureFormat::Bmp) return {decodePicture(std::move(file), *format, codec), *format, {}, {}};
    OpenedPicture opened;
    opened.format = *format;
    try {
        opened.picture = decodePicture(file.bytes(), *format, codec);
    } catch (const PictureError& error) {
        throw PictureError(formatPictureMessage(picture_message::kPictureUnreadable, {name, path, error.what()}));
    }
    // Metadata that cannot be read stops nothing: the picture opens without.
    try {
        opened.metadata = codec.readMetadata(file.bytes(), *format);
    } catch (const PictureError& error) {
        opened.metadataNote = formatPictureMessage(picture_message::kMetadataUnreadable, {path, error.what()});
    }
    return opened;
}

std::vector<PictureFormat> readableFormats(const ImageCodec& codec)
{
    return formatsWhere([&](PictureFormat format) { return codec.canRead(format); });
}

std::vector<PictureFormat> writableFormats(const ImageCodec& codec)
{
    return formatsWhere([&](PictureFormat format) { return codec.canWrite(format); });
}

PictureFormat formatToPropose(PictureFormat opened, std::span<const PictureFormat> writable) noexcept
{
    const auto written = [&](PictureFormat format) {
        return std::find(writable.begin(), writable.end(), format) != writable.end();
    };
    if (written(opened)) return opened;
    return written(PictureFormat::Png) ? PictureFormat::Png : PictureFormat::Bmp;
}

PictureFormat formatToSave(const std::string& path, PictureFormat chosen, std::span<const PictureFormat> writable)
{
    const std::optional<PictureFormat> named = pictureFormatOfExtension(pictureFileExtension(path));
    if (named && std::find(writable.begin(), writable.end(), *named) != writable.end()) return *named;
    return chosen;
}

std::string savePicture(const PicturePlanes& picture, const PictureMetadata& metadata, const std::string& path,
                        PictureFormat format, const ImageCodec& codec, std::optional<int> quality, FileWriteOps& writes)
{
    if (!planesFit(picture)) throwBitmapInvalid();
    if (format == PictureFormat::Bmp) {
        const std::optional<Bitmap> flatBitmap = flattened(picture);
        writeFileAtomically(path, encodeBmp(flatBitmap ? *flatBitmap : picture.bitmap), writes);
        return {};
    }
    const std::string_view name = pictureFormatName(format);
    if (!codec.canWrite(format)) throw PictureError(formatPictureMessage(picture_message::kFormatNotWritten, name));
    if (picture.bitmap.empty()) throw PictureError(formatPictureMessage(picture_message::kEmptyNotWritten, name));
    const std::int32_t width = picture.bitmap.width(), height = picture.bitmap.height();
    if (const std::optional<std::int32_t> limit = pictureFormatSideLimit(format);
        limit && (width > *limit || height > *limit)) {
        const std::string reason = formatPictureMessage(picture_message::kTooLargeForFormat,
                                                        {name, std::to_string(*limit), pictureSizeText(width, height)});
        throw PictureError(formatPictureMessage(picture_message::kWriteError, {path, reason}));
    }
    // Only once the picture can be written is it flattened for JPEG.
    const std::optional<Bitmap> flatBitmap =
        format == PictureFormat::Jpeg ? flattened(picture) : std::optional<Bitmap>{};
    std::vector<std::uint8_t> bytes;
    try {
        bytes = codec.encode(flatBitmap ? PicturePlanes{*flatBitmap} : picture, format, metadata, quality);
    } catch (const PictureError& error) {
        throw PictureError(formatPictureMessage(picture_message::kWriteError, {path, error.what()}));
    }
    std::string note;
    try {
        bytes = codec.withMetadata(bytes, format, metadata, picture.bitmap.width(), picture.bitmap.height());
    } catch (const PictureError& error) {
        note = formatPictureMessage(picture_message::kMetadataUnwritten, {path, error.what()});
    }
    writeFileAtomically(path, bytes, writes);
    return note;
}

std::string savePicture(const PicturePlanes& picture, const PictureMetadata& metadata, const std::string& path,
                        PictureFormat format, const ImageCodec& codec, std::optional<int> quality)
{
    FileWriteOps writes;
    return savePicture(picture, metadata, path, format, codec, quality, writes);
}

} // namespace plexor
