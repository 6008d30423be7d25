#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/dib_header.h"
#include "platform/pixel_format.h"

namespace plexor {

// Fills in the masks of a direct-colour format (16 or 32 bits) from a bitmap
// file. Without bit fields they are the default layout. With bit fields each
// mask comes from the header where the header holds it, else from the words
// after the header, in the order red, green, blue, alpha; `cursor` (the byte
// after the header) moves past the words read there. Throws PictureError:
// "Stream read error" when the file ends inside the masks, "Bitmap image is
// not valid" for masks that are empty, not one run of bits, overlapping, or
// outside the pixel.
void readBmpColourMasks(std::span<const std::uint8_t> file, const DibHeader& header, std::size_t& cursor,
                        PixelFormat& format);

// The masks of `format` differ from the default layout of its bit count.
bool hasCustomMasks(const PixelFormat& format) noexcept;

} // namespace plexor
