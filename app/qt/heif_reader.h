#pragma once

// HEIC and AVIF files, read with libheif: the primary picture and what the
// file keeps beside it, as plain data.

#include <cstdint>
#include <span>
#include <vector>

namespace plexor {

struct HeifPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The bits of each channel: 8, or more (10 or 12, as a rule) for a
    // deeper picture.
    int bitDepth = 8;
    // Red, green and blue, a byte each, row after row from the top without
    // gaps, turned, mirrored and cropped as the file says: libheif's own
    // decoding. Empty for a deeper picture.
    std::vector<std::uint8_t> rgb;
    // A byte a pixel in the same order, 255 opaque; empty when the picture
    // has no alpha, or is deeper. alphaPremultiplied says the file declares
    // its colours multiplied by the alpha.
    std::vector<std::uint8_t> alpha;
    bool alphaPremultiplied = false;
    // A deeper picture's red, green and blue, and alpha, as rgb and alpha
    // hold those of an 8-bit one, a 16-bit value each of bitDepth bits
    // (1023 the most of 10 bits); empty for an 8-bit picture.
    std::vector<std::uint16_t> deepRgb;
    std::vector<std::uint16_t> deepAlpha;
    // The ICC profile the file gives the picture, as stored; empty when it
    // gives none (or describes its colours by code points instead).
    std::vector<std::uint8_t> iccProfile;
    // The picture's first EXIF block from its TIFF header on ("II*" or
    // "MM*"), without the offset HEIF puts before it; empty when there is
    // none. The orientation it records is not applied: the file's own
    // transformations are.
    std::vector<std::uint8_t> exif;
    // The picture's first XMP packet, as stored; empty when there is none.
    std::vector<std::uint8_t> xmp;
};

// Whether libheif here decodes HEVC pictures (HEIC), and AV1 ones (AVIF).
bool heifDecodesHevc() noexcept;
bool heifDecodesAv1() noexcept;

// The primary picture of a whole HEIC or AVIF file, of 8 bits a channel,
// or of its own depth where its channels have more than 8. A picture of more
// than `maxPixels` pixels is refused before it is decoded. Throws
// PictureError with libheif's reason for a file it cannot read.
HeifPicture readHeif(std::span<const std::uint8_t> file, std::uint64_t maxPixels);

// The same without the pixels: what the file keeps beside them, its width
// and height, no rgb or alpha.
HeifPicture readHeifMetadata(std::span<const std::uint8_t> file);

// Keeps libheif set up while any holds it.
class HeifLibrary {
public:
    HeifLibrary();
    ~HeifLibrary();
    HeifLibrary(const HeifLibrary&) = delete;
    HeifLibrary& operator=(const HeifLibrary&) = delete;
};

} // namespace plexor
