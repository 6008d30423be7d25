#pragma once

// Reading and writing the picture formats other than BMP, whose files the
// program's own reader and writer handle. The Qt image library provides
// these (app/qt/qt_image_codec.h); a program or test without it uses
// BmpOnlyCodec (app/bmp_only_codec.h).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "platform/picture.h"
#include "platform/picture_error.h"
#include "platform/picture_format.h"
#include "platform/picture_metadata.h"

namespace plexor {

class ImageCodec {
public:
    virtual ~ImageCodec() = default;

    virtual bool canRead(PictureFormat format) const = 0;
    virtual bool canWrite(PictureFormat format) const = 0;

    // The picture in the bytes of a whole file of `format`, as a 24-bit
    // bitmap with its alpha where it has transparent parts: turned as the
    // file's orientation says, the pixel values in the file's own colour
    // space, the colours of transparent pixels as the file stored them. A
    // picture of more than 8 bits a channel keeps them all, as the high
    // bytes in the bitmap and the low bytes beside it, with the file's
    // depth. Throws PictureError with the decoder's reason.
    virtual Picture decode(std::span<const std::uint8_t> file, PictureFormat format) const = 0;

    // A non-empty picture as the bytes of a file of `format`, at 24 bits a
    // pixel, or 48 where the picture is deeper and the format holds 16-bit
    // channels, or at the picture's own depth where the format has one of
    // its own; with its alpha where the format keeps it: lossless but for
    // JPEG and the lossy formats at `quality` (1 to 100; nothing for the
    // format's own); tagged with the metadata's colour profile, where the
    // format has one, and holding the rest of the metadata where the format
    // takes it only with the pixels. Throws PictureError with the encoder's
    // reason.
    virtual std::vector<std::uint8_t> encode(const PicturePlanes& picture, PictureFormat format,
                                             const PictureMetadata& metadata, std::optional<int> quality) const = 0;

    // What a whole file of `format` holds beside its pixels: EXIF, XMP,
    // IPTC and its colour profile. Throws PictureError with the reason when
    // it cannot be read. Nothing, where the codec reads no metadata.
    virtual PictureMetadata readMetadata(std::span<const std::uint8_t> /*file*/, PictureFormat /*format*/) const
    {
        return {};
    }
    // `file`, as encode() made it of a width x height picture, with
    // `metadata` written into it: upright, of that size, without thumbnail.
    // Throws PictureError with the reason when it cannot be written. The
    // file as it is, where the codec writes no metadata, and where encode()
    // wrote it with the pixels: then this throws the reason for any of it
    // left out there.
    virtual std::vector<std::uint8_t> withMetadata(std::span<const std::uint8_t> file, PictureFormat /*format*/,
                                                   const PictureMetadata& /*metadata*/, std::int32_t /*width*/,
                                                   std::int32_t /*height*/) const
    {
        return {file.begin(), file.end()};
    }
};

} // namespace plexor
