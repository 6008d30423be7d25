#pragma once

#include <QImage>
#include <QSize>

#include "editor/zoom.h"

class QPainter;

namespace plexor {

class Bitmap;

// What the picture control draws for the screen bitmap. Where Qt reads the
// bitmap's pixel format as it is (24-bit rows, colour tables of 1 or 8 bits,
// the default 16- and 32-bit layouts) the image lies over the bitmap's own
// rows, which are stored bottom row first, and is drawn mirrored top to
// bottom: nothing is copied or converted, however often the view is pushed.
// Other formats (4 bits, unusual colour masks) are converted to 24-bit rows
// at every update.
class BitmapView {
public:
    // Shows `bitmap`, which stays alive and in place until the next call;
    // nullptr shows nothing.
    void show(const Bitmap* bitmap);
    // The bitmap's rows top <= y < bottom have changed: brings a converted
    // copy up to date. An image over the bitmap's rows needs nothing.
    void update(int top, int bottom);
    // Draws the picture pixels `part` at `zoom` (full size or a whole-number
    // enlargement, each pixel a square), the picture's top-left corner at
    // (0, 0).
    void paint(QPainter& painter, const QRect& part, Zoom zoom) const;

    QSize size() const noexcept { return size_; }
    // Whether the picture is drawn from a converted copy.
    bool converted() const noexcept { return converted_; }
    // The picture as shown, top row first, for checks and screenshots.
    QImage topDownImage() const;

private:
    const Bitmap* bitmap_ = nullptr;
    QImage image_;
    QSize size_;
    bool converted_ = false;
};

} // namespace plexor
