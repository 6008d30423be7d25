#pragma once

// HEIC and AVIF files of our own making, written with libheif's encoders,
// for the tests and the fuzzer's seeds.

#include <cstdint>
#include <vector>

namespace plexor::test {

struct HeifSource {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Red, green and blue, a byte each, row after row; alpha, a byte a
    // pixel, or empty for none.
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> alpha;
    // Of a deeper picture instead: the bits of a channel (10 or 12), and
    // the channels and alpha as rgb and alpha hold them, a value each.
    int bitDepth = 8;
    std::vector<std::uint16_t> deepRgb;
    std::vector<std::uint16_t> deepAlpha;
    // Kept in the file as given; empty for none. The EXIF block starts at
    // its TIFF header.
    std::vector<std::uint8_t> iccProfile;
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> xmp;
    // The turn and mirror the file asks for, numbered as EXIF numbers them:
    // 6 has the picture shown a quarter turn clockwise from how it is stored.
    int orientation = 1;
};

enum class HeifCoding { Hevc, Av1 };

// The source as a HEIC (HEVC) or AVIF (AV1) file; empty when this
// libheif cannot encode it. A 10-bit AVIF picture is encoded in 4:2:2, the
// one layout in which the AV1 encoder here writes 10 bits and does not end
// the process; one with alpha, which it cannot write, is not encoded.
std::vector<std::uint8_t> encodeHeif(const HeifSource& source, HeifCoding coding);

} // namespace plexor::test
