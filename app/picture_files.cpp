#include "app/picture_files.h"

#include <algorithm>
#include <utility>

#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/file_io.h"
#include "platform/picture_completeness.h"
#include "platform/picture_error.h"

namespace plexor {

namespace {

// BMP, then every other format that `can` takes.
template <class Can>
std::vector<PictureFormat> FormatsWhere(Can can)
{
    std::vector<PictureFormat> formats;
    for (const PictureFormat format : kPictureFormats)
        if (format == PictureFormat::Bmp || can(format)) formats.push_back(format);
    return formats;
}

} // namespace

std::optional<PictureFormat> FormatToRead(std::span<const std::uint8_t> head, std::string_view extension) noexcept
{
    if (const auto format = PictureFormatOfContent(head)) return format;
    return PictureFormatOfExtension(extension);
}

TPicture DecodePicture(std::span<const std::uint8_t> file, PictureFormat format, const ImageCodec& codec)
{
    if (format == PictureFormat::Bmp) return TPicture::FromBitmap(ReadBmp(file));
    const bool cut = (format == PictureFormat::Jpeg && !JpegReachesItsEnd(file)) ||
                     (format == PictureFormat::Gif && !GifReachesTheEndOfItsFirstFrame(file));
    if (cut) throw PictureError(std::string(picture_message::kPictureCut));
    return TPicture::FromBitmap(codec.Decode(file, format));
}

TPicture DecodePicture(ByteBuffer&& file, PictureFormat format, const ImageCodec& codec)
{
    // The bitmap reader may keep the file's memory as the bitmap's rows.
    if (format == PictureFormat::Bmp) return TPicture::FromBitmap(ReadBmp(std::move(file)));
    return DecodePicture(file.bytes(), format, codec);
}

OpenedPicture OpenPicture(const std::string& path, const ImageCodec& codec)
{
    const ByteBuffer head = ReadFileHead(path, kPictureSignatureBytes);
    const std::optional<PictureFormat> format = FormatToRead(head.bytes(), PictureFileExtension(path));
    if (!format) return {TPicture::FromFile(path), PictureFormat::Bmp};
    const std::string_view name = PictureFormatName(*format);
    if (*format != PictureFormat::Bmp && !codec.CanRead(*format))
        throw PictureError(FormatPictureMessage(picture_message::kFormatNotRead, name));
    ByteBuffer file = ReadWholeFile(path, kMaxPictureFileBytes);
    if (*format == PictureFormat::Bmp) return {DecodePicture(std::move(file), *format, codec), *format};
    try {
        return {DecodePicture(file.bytes(), *format, codec), *format};
    } catch (const PictureError& error) {
        throw PictureError(FormatPictureMessage(picture_message::kPictureUnreadable, {name, path, error.what()}));
    }
}

std::vector<PictureFormat> ReadableFormats(const ImageCodec& codec)
{
    return FormatsWhere([&](PictureFormat format) { return codec.CanRead(format); });
}

std::vector<PictureFormat> WritableFormats(const ImageCodec& codec)
{
    return FormatsWhere([&](PictureFormat format) { return codec.CanWrite(format); });
}

PictureFormat FormatToSave(const std::string& path, PictureFormat chosen, std::span<const PictureFormat> writable)
{
    const std::optional<PictureFormat> named = PictureFormatOfExtension(PictureFileExtension(path));
    if (named && std::find(writable.begin(), writable.end(), *named) != writable.end()) return *named;
    return chosen;
}

void SavePicture(const TBitmap& bitmap, const std::string& path, PictureFormat format, const ImageCodec& codec,
                 FileWriteOps& writes)
{
    if (format == PictureFormat::Bmp) {
        WriteFileAtomically(path, EncodeBmp(bitmap), writes);
        return;
    }
    const std::string_view name = PictureFormatName(format);
    if (!codec.CanWrite(format)) throw PictureError(FormatPictureMessage(picture_message::kFormatNotWritten, name));
    if (bitmap.Empty()) throw PictureError(FormatPictureMessage(picture_message::kEmptyNotWritten, name));
    std::vector<std::uint8_t> bytes;
    try {
        bytes = codec.Encode(bitmap, format);
    } catch (const PictureError& error) {
        throw PictureError(FormatPictureMessage(picture_message::kWriteError, {path, error.what()}));
    }
    WriteFileAtomically(path, bytes, writes);
}

void SavePicture(const TBitmap& bitmap, const std::string& path, PictureFormat format, const ImageCodec& codec)
{
    FileWriteOps writes;
    SavePicture(bitmap, path, format, codec, writes);
}

} // namespace plexor
