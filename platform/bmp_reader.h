#pragma once

#include <cstdint>
#include <span>

#include "platform/bitmap.h"
#include "platform/byte_buffer.h"

namespace plexor {

// Reads a bitmap file held in memory into a bitmap of the file's own pixel
// format; run-length data becomes uncompressed rows of the same bit count.
// A file of zero bytes gives an empty bitmap. Throws PictureError
// ("Bitmap image is not valid" or "Stream read error") and never reads past
// `file`.
Bitmap readBmp(std::span<const std::uint8_t> file);

// The same, but may keep `file`'s memory as the bitmap's pixel storage when
// the rows in it are already in the order a bitmap stores them.
Bitmap readBmp(ByteBuffer file);

} // namespace plexor
