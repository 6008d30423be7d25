#pragma once

// Pictures passed between Qt's images and the program's bitmaps, each
// converted once, straight into the other's rows.

#include <QImage>

#include "app/qt/heif_reader.h"
#include "platform/bitmap.h"
#include "platform/picture.h"

namespace plexor {

// `image` as a 24-bit bitmap: the pixel values as the file has them, in its
// own colour space, grey and 16-bit channels widened or narrowed to 8 bits;
// with its alpha, unmultiplied, beside it when some pixel is not opaque.
// Images of 8-bit channels, grey and colour-table images go straight into
// the bitmap's rows; others are first converted by Qt. Throws PictureError
// for a picture past the pixel limit.
Picture pictureFromImage(QImage image);

// A picture libheif read, as pictureFromImage makes it of an image of its
// colours and alpha: the values in the colour space its profile describes,
// the alpha unmultiplied.
Picture pictureFromHeif(const HeifPicture& picture);

// `bitmap` as a 24-bit image, whatever the bitmap's pixel format; with
// `alpha` (a byte a pixel, rows top to bottom) as an unmultiplied 32-bit one.
QImage imageFromBitmap(const Bitmap& bitmap, std::span<const std::uint8_t> alpha = {});

} // namespace plexor
