#pragma once

// Pictures passed between Qt's images and the program's bitmaps, each
// converted once, straight into the other's rows.

#include <QImage>

#include "app/qt/heif_reader.h"
#include "platform/bitmap.h"

namespace plexor {

// `image` as a 24-bit bitmap: in sRGB when it carries another colour space,
// grey and 16-bit channels widened or narrowed to 8 bits, any alpha channel
// dropped with the colours kept as they are. Images of 8-bit channels, grey
// and colour-table images go straight into the bitmap's rows; others are
// first converted by Qt. Throws PictureError for a picture past the pixel
// limit.
Bitmap bitmapFromImage(QImage image);

// A picture libheif read, as bitmapFromImage makes an image of its colours
// in the colour space its profile describes: converted to sRGB, the alpha
// dropped.
Bitmap bitmapFromHeif(const HeifPicture& picture);

// `bitmap` as a 24-bit image, whatever the bitmap's pixel format.
QImage imageFromBitmap(const Bitmap& bitmap);

} // namespace plexor
