#pragma once

// Pictures passed between Qt's images and the program's bitmaps, each
// converted once, straight into the other's rows.

#include <QImage>

#include "app/qt/heif_reader.h"
#include "platform/bitmap.h"
#include "platform/picture.h"

namespace plexor {

// `image` as a 24-bit bitmap: the pixel values as the file has them, in its
// own colour space, grey widened to colour; with its alpha, unmultiplied,
// beside it when some pixel is not opaque. Images of 8-bit channels, grey
// and colour-table images go straight into the bitmap's rows; others are
// first converted by Qt. An image of more than 8 bits a channel (16-bit
// colour or grey, and whatever Qt holds in more than 8) becomes a picture
// of 16 bits, every bit kept where the image has 16. Throws PictureError
// for a picture past the pixel limit.
Picture pictureFromImage(QImage image);

// A picture libheif read, as pictureFromImage makes it of an image of its
// colours and alpha: the values in the colour space its profile describes,
// the alpha unmultiplied; a deeper one of 16 bits, widened from its own
// depth, which it keeps as the depth to write it at (10 for up to 10 bits,
// 12 for up to 12, else 16).
Picture pictureFromHeif(const HeifPicture& picture);

// `bitmap` as a 24-bit image, whatever the bitmap's pixel format; with
// `alpha` (a byte a pixel, rows top to bottom) as an unmultiplied 32-bit one.
QImage imageFromBitmap(const Bitmap& bitmap, std::span<const std::uint8_t> alpha = {});

// A picture's 16-bit channels as an image of them: grey where it has no
// alpha and every pixel is grey, else 16-bit colour, with its alpha,
// unmultiplied, where it has one. The planes must fit.
QImage deepImageFromPlanes(const PicturePlanes& picture);

// A picture as libheif takes it, at `bitDepth` bits a channel (8, 10 or
// 12): each 16-bit value's top bits. The planes must fit.
HeifPicture heifFromPlanes(const PicturePlanes& picture, int bitDepth);

} // namespace plexor
