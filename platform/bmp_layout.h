#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pixel_format.h"

namespace plexor {

// What the headers of a bitmap file say, checked against each other and
// against the file's size: the picture's size and row order, its pixel format
// and where its pixel data lies.
struct BmpLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool topDown = false;
    // kBmpRgb, kBmpRle8 or kBmpRle4; bit fields count as kBmpRgb here.
    std::uint32_t compression = 0;
    PixelFormat format;
    // The pixel data: for uncompressed rows exactly Height padded rows, for
    // run-length data everything up to the end of the file.
    std::size_t pixelOffset = 0;
    std::size_t pixelBytes = 0;

    // Checks the headers, masks and colour table of a non-empty file.
    // Throws PictureError: "Stream read error" when the file ends inside its
    // headers, masks, colour table or pixel rows; "Bitmap image is not valid"
    // for any field no valid file has.
    static BmpLayout read(std::span<const std::uint8_t> file);
};

} // namespace plexor
