#pragma once

#include <cstdint>

#include "app/image_codec.h"
#include "app/qt/heif_reader.h"
#include "platform/pixel_format.h"

namespace plexor {

// PNG, JPEG, TIFF, WebP and GIF files through Qt's image readers and
// writers, HEIC and AVIF files through libheif, from and to bytes in
// memory. Needs neither a display nor an application object. A format is
// read only where Qt has its plugin, or libheif its decoder, and written
// where Qt has its writer, or libheif its encoder.
//
// Reading applies the orientation a file records and keeps the pixel values
// in the file's colour space, 16-bit PNG and TIFF pictures at 16 bits and
// deeper HEIC and AVIF ones at their own depth; its metadata and colour
// profile are read and written with exiv2, libheif's own for HEIC and AVIF.
// Writing: PNG at 24 bits, or 16-bit channels for a deeper picture; JPEG at
// quality 92; TIFF (LZW) lossless, like PNG; WebP lossless, or lossy at a
// quality asked for; HEIC and AVIF at quality 90, at the picture's own
// depth.
class QtImageCodec final : public ImageCodec {
public:
    // Pictures of more than `maxPixels` pixels are refused before they are
    // decoded where the file tells its size first, and after otherwise.
    // Raises Qt's limit on the memory of one decoded image, which is the
    // whole process's, to what such a picture needs. HEIC and AVIF are
    // encoded on `encoderThreads` threads, or as many as the encoder
    // chooses for 0.
    explicit QtImageCodec(std::uint64_t maxPixels = kMaxBitmapPixels, unsigned encoderThreads = 0);

    bool canRead(PictureFormat format) const override;
    bool canWrite(PictureFormat format) const override;
    Picture decode(std::span<const std::uint8_t> file, PictureFormat format) const override;
    std::vector<std::uint8_t> encode(const PicturePlanes& picture, PictureFormat format,
                                     const PictureMetadata& metadata, std::optional<int> quality) const override;
    PictureMetadata readMetadata(std::span<const std::uint8_t> file, PictureFormat format) const override;
    std::vector<std::uint8_t> withMetadata(std::span<const std::uint8_t> file, PictureFormat format,
                                           const PictureMetadata& metadata, std::int32_t width,
                                           std::int32_t height) const override;

    static constexpr int kJpegQuality = 92;
    static constexpr int kHeifQuality = 90;

private:
    std::vector<std::uint8_t> encodeHeif(const PicturePlanes& picture, PictureFormat format,
                                         const PictureMetadata& metadata, int quality) const;

    HeifLibrary heif_;
    std::uint64_t maxPixels_;
    unsigned encoderThreads_;
    bool reads_[std::size(kPictureFormats)] = {};
    bool writes_[std::size(kPictureFormats)] = {};
};

} // namespace plexor
