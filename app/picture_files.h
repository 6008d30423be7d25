#pragma once

// Opening and saving picture files of every format: the file's content
// decides how it is read, BMP files go through the program's own reader and
// writer, and the other formats through an ImageCodec.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/image_codec.h"
#include "platform/byte_buffer.h"
#include "platform/file_io.h"
#include "platform/picture.h"
#include "platform/picture_format.h"

namespace plexor {

// A picture as opened, and the format of the file it came from. Icons,
// metafiles and empty bitmap files count as BMP.
struct OpenedPicture {
    Picture picture;
    PictureFormat format = PictureFormat::Bmp;
    // What the file holds beside its pixels, and why it is left out when
    // it cannot be read ("" when it could).
    PictureMetadata metadata;
    std::string metadataNote;
};

// The format to read a file as: the one its first bytes announce, else the
// one its extension names; nothing when neither names one.
std::optional<PictureFormat> formatToRead(std::span<const std::uint8_t> head, std::string_view extension) noexcept;

// The picture in a whole file of `format`: a bitmap file in its own pixel
// format, any other as a 24-bit bitmap from `codec`. Throws PictureError
// with the reader's own message; a JPEG or GIF file cut short gives "The
// file ends before the picture does".
Picture decodePicture(std::span<const std::uint8_t> file, PictureFormat format, const ImageCodec& codec);
Picture decodePicture(ByteBuffer&& file, PictureFormat format, const ImageCodec& codec);

// Opens `path`. A file that is none of the formats, by content or by name,
// is an icon or a metafile by its extension, checked by its signature; or "Unknown picture
// file extension (.%s)". Throws PictureError; a file that the codec cannot
// decode gives "Cannot read the %s picture %s: %s" with the codec's reason.
OpenedPicture openPicture(const std::string& path, const ImageCodec& codec);

// The formats the program reads, and those it writes, with `codec`: BMP
// first, then the others in their usual order.
std::vector<PictureFormat> readableFormats(const ImageCodec& codec);
std::vector<PictureFormat> writableFormats(const ImageCodec& codec);

// The format a picture opened from a file of `opened` is saved in unless
// the user names another: its own where it is among `writable` (HEIC and
// AVIF where their encoders are at hand), else PNG, which keeps every pixel
// too, or else BMP.
PictureFormat formatToPropose(PictureFormat opened, std::span<const PictureFormat> writable) noexcept;

// The format a save to `path` writes: the one its extension names where it
// is among `writable`, else `chosen`.
PictureFormat formatToSave(const std::string& path, PictureFormat chosen, std::span<const PictureFormat> writable);

// Replaces `path` with `picture` as a file of `format`, in one step: a
// bitmap file in the bitmap's own pixel format, any other through `codec`,
// with `metadata` in it. A picture with alpha keeps it in PNG, WebP, TIFF,
// HEIC and AVIF, and is laid over white in JPEG and BMP, which have none. A
// picture of more than 8 bits a channel is written at 16 bits in PNG and
// TIFF, at its own depth in HEIC and AVIF, and rounded to 8 bits in the
// others. JPEG, HEIC, AVIF and WebP are written at `quality` (1 to 100), or
// at their own (92, 90, and lossless WebP) without one. Throws PictureError
// naming the file and the reason; the former file then stays. Metadata that
// cannot be written stops nothing: the picture is written without it, and
// the note returned says why ("" when all of it was written).
std::string savePicture(const PicturePlanes& picture, const PictureMetadata& metadata, const std::string& path,
                        PictureFormat format, const ImageCodec& codec, std::optional<int> quality = std::nullopt);
// The same through `writes`, the system calls that write the file.
std::string savePicture(const PicturePlanes& picture, const PictureMetadata& metadata, const std::string& path,
                        PictureFormat format, const ImageCodec& codec, std::optional<int> quality,
                        FileWriteOps& writes);

} // namespace plexor
