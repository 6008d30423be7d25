#pragma once

// HEIC and AVIF files written with libheif's encoders (HEVC for HEIC, AV1
// for AVIF), from plain data.

#include <cstdint>
#include <vector>

#include "app/qt/heif_reader.h"
#include "platform/picture_format.h"

namespace plexor {

// Whether libheif here encodes HEVC pictures (HEIC), and AV1 ones (AVIF).
bool heifEncodesHevc() noexcept;
bool heifEncodesAv1() noexcept;

// The depth a picture of `bitDepth` bits a channel is written at as `format`
// (HEIC or AVIF): 8 for 8 bits, 10 for 10 and 12 for more, but 12 for an
// AVIF picture of 10 bits with alpha, whose alpha the AV1 encoder here
// cannot write at 10 bits.
int heifDepthWritten(PictureFormat format, int bitDepth, bool alpha) noexcept;

struct HeifEncoding {
    // 1 to 100.
    int quality = 90;
    // The encoder's threads; 0 leaves them to the encoder.
    unsigned threads = 0;
};

// `picture` as a whole file of `format` (HEIC or AVIF), at its own depth,
// which must be the one heifDepthWritten() gives for it: its pixels upright,
// of its size, without thumbnail, its alpha where it has one; its colour
// profile, EXIF block (a TIFF structure) and XMP packet, as given, in the
// file. Only encoder settings known to work are used: the AV1 encoder here
// ends the whole process on some others. Throws PictureError with libheif's
// reason.
std::vector<std::uint8_t> writeHeif(const HeifPicture& picture, PictureFormat format, const HeifEncoding& encoding);

} // namespace plexor
