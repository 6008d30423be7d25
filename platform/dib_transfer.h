#pragma once

#include <cstdint>

#include "platform/bitmap.h"
#include "platform/dib_header.h"
#include "platform/pixel_format.h"

namespace plexor {

// Copies `rowCount` rows of `bitmap`, starting at `firstRow`, into `bits` as
// 24-bit rows (blue, green, red, each row padded to 4 bytes). `firstRow`
// counts in the order of the block: from the top when height is negative,
// from the bottom otherwise. `info` must describe 24-bit uncompressed rows of
// the bitmap's width and height. Returns the rows copied, 0 on failure (an
// empty bitmap, another format, a size that does not match, rows outside the
// bitmap); then nothing is written.
int copyRowsFromBitmap(const Bitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, std::uint8_t* bits,
                       const DibHeader& info);

// The reverse: writes 24-bit rows from `bits` into `bitmap`, converting each
// colour to the bitmap's format (the nearest table colour for a colour table).
// Returns the rows written, 0 on failure; then the bitmap is unchanged.
int copyRowsToBitmap(Bitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, const std::uint8_t* bits,
                     const DibHeader& info);

// The same for the part x0 <= x < x1, y0 <= y < y1 of the picture: `bits` is
// the whole block as above, of which only that part is read (for pixels
// smaller than a byte, to the nearest whole bytes around it). Rows count
// from the top. Returns the rows written, 0 on failure; then the bitmap is
// unchanged.
int copyPartToBitmap(Bitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                     const std::uint8_t* bits, const DibHeader& info);

} // namespace plexor
