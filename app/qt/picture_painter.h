#pragma once

#include <QImage>
#include <QSize>

#include "editor/screen_colours.h"
#include "editor/zoom.h"

class QPainter;

namespace plexor {

class Bitmap;

// What paints the screen bitmap for the picture view. Where Qt reads the
// bitmap's pixel format as it is (24-bit rows, colour tables of 1 or 8 bits,
// the default 16- and 32-bit layouts) the image lies over the bitmap's own
// rows, which are stored bottom row first, and is drawn mirrored top to
// bottom: nothing is copied or converted, however often the view is pushed.
// Other formats (4 bits, unusual colour masks) are converted to 24-bit rows
// at every update. A 24-bit bitmap whose colours need converting to the
// screen's, or that has transparent parts, is converted as it is painted,
// only where it is painted.
class PicturePainter {
public:
    // Shows `bitmap`, which stays alive and in place until the next call;
    // nullptr shows nothing. `colours` and the bitmap-sized `alpha`
    // (nullptr: opaque) say how to show a 24-bit bitmap's pixels; both stay
    // alive until the next call.
    void show(const Bitmap* bitmap, const ScreenColours* colours = nullptr, const std::uint8_t* alpha = nullptr);
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
    // Paints `part` converted by colours_ and alpha_.
    void paintConverted(QPainter& painter, const QRect& part, int zoom) const;

    const Bitmap* bitmap_ = nullptr;
    const ScreenColours* colours_ = nullptr;
    const std::uint8_t* alpha_ = nullptr;
    mutable QImage shown_; // room for a painted part, kept between paints
    QImage image_;
    QSize size_;
    bool converted_ = false;
};

} // namespace plexor
