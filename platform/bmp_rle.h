#pragma once

#include <cstdint>
#include <span>

#include "platform/bitmap.h"

namespace plexor {

// Decodes run-length data of 8 or 4 bits a pixel (the bitmap's own bit count)
// into `bitmap`, whose pixels start as index 0; pixels the data skips keep it.
// Runs that pass the end of a row, and moves that leave the picture, are
// clipped: what falls outside is dropped. Throws PictureError "Stream read
// error" when the data ends before its end-of-picture mark.
void decodeBmpRle(std::span<const std::uint8_t> data, Bitmap& bitmap);

} // namespace plexor
