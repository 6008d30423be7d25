#pragma once

// A picture file's metadata and colour profile read and written with exiv2,
// on files in memory.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/picture_format.h"
#include "platform/picture_metadata.h"

namespace plexor {

// The EXIF, XMP and IPTC of a whole JPEG, PNG, TIFF or WebP file, and its
// colour profile. Throws PictureError with exiv2's reason when the file's
// metadata cannot be read, and when the file is not of `format` as exiv2
// sees it, which it then never parses.
PictureMetadata readPictureMetadata(std::span<const std::uint8_t> file, PictureFormat format);

// `file`, a whole JPEG, PNG, TIFF or WebP file of a width x height picture,
// with `metadata` written into it as it stands for that picture: orientation
// 1, since the pixels are already turned; its width and height as the pixel
// dimensions; no embedded thumbnail, which would show another picture. IPTC
// is left out of WebP, which cannot hold it. Throws PictureError with
// exiv2's reason when it cannot be written.
std::vector<std::uint8_t> writePictureMetadata(std::span<const std::uint8_t> file, PictureFormat format,
                                               const PictureMetadata& metadata, std::int32_t width,
                                               std::int32_t height);

// The EXIF block (a TIFF structure) and XMP packet of `metadata` as they
// stand for a width x height picture saved from it, as writePictureMetadata
// writes them, and its colour profile, for a format that takes them with
// the pixels; no IPTC. Throws PictureError with exiv2's reason when they
// cannot be written.
PictureMetadata metadataAsSaved(const PictureMetadata& metadata, std::int32_t width, std::int32_t height);

} // namespace plexor
