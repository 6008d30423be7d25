#pragma once

#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace plexor {

// The bitmap as a bitmap file: the file header, the 40-byte information
// header (the 12-byte core header when the bitmap was read from a file that
// had one), the colour table or, for masks other than the default layout or
// when the source declared them, bit-field compression with three masks after
// the header, then the rows from the bottom up, uncompressed, in the bitmap's
// own bit count. An empty bitmap gives zero bytes.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap);

} // namespace plexor
