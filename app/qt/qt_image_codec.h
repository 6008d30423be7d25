#pragma once

#include <cstdint>

#include "app/image_codec.h"
#include "app/qt/heif_reader.h"
#include "platform/pixel_format.h"

namespace plexor {

// PNG, JPEG, TIFF, WebP and GIF files through Qt's image readers and
// writers, HEIC and AVIF files read through libheif, from and to bytes in
// memory. Needs neither a display nor an application object. A format is
// offered only where Qt has its plugin, or libheif its decoder.
//
// Reading applies the orientation a file records and keeps the pixel values
// in the file's colour space; its metadata and colour profile are read and
// written with exiv2. Writing: PNG at 24 bits, JPEG at quality 92, TIFF and
// WebP lossless.
class QtImageCodec final : public ImageCodec {
public:
    // Pictures of more than `maxPixels` pixels are refused before they are
    // decoded where the file tells its size first, and after otherwise.
    // Raises Qt's limit on the memory of one decoded image, which is the
    // whole process's, to what such a picture needs.
    explicit QtImageCodec(std::uint64_t maxPixels = kMaxBitmapPixels);

    bool canRead(PictureFormat format) const override;
    bool canWrite(PictureFormat format) const override;
    Picture decode(std::span<const std::uint8_t> file, PictureFormat format) const override;
    std::vector<std::uint8_t> encode(const Bitmap& bitmap, std::span<const std::uint8_t> alpha, PictureFormat format,
                                     std::span<const std::uint8_t> iccProfile) const override;
    PictureMetadata readMetadata(std::span<const std::uint8_t> file, PictureFormat format) const override;
    std::vector<std::uint8_t> withMetadata(std::span<const std::uint8_t> file, PictureFormat format,
                                           const PictureMetadata& metadata, std::int32_t width,
                                           std::int32_t height) const override;

    static constexpr int kJpegQuality = 92;

private:
    HeifLibrary heif_;
    std::uint64_t maxPixels_;
    bool reads_[std::size(kPictureFormats)] = {};
    bool writes_[std::size(kPictureFormats)] = {};
};

} // namespace plexor
