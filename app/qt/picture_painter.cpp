#include "app/qt/picture_painter.h"

#include <algorithm>

#include <QPainter>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor {
namespace {

// Qt's format for a bitmap's rows as they stand, or Invalid when they have
// to be converted.
QImage::Format directFormat(const PixelFormat& format)
{
    switch (format.bitsPerPixel) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 24: return QImage::Format_BGR888;
    case 16:
        if (format.redMask == 0x7C00 && format.greenMask == 0x03E0 && format.blueMask == 0x001F)
            return QImage::Format_RGB555;
        if (format.redMask == 0xF800 && format.greenMask == 0x07E0 && format.blueMask == 0x001F)
            return QImage::Format_RGB16;
        return QImage::Format_Invalid;
    case 32:
        // The top byte, alpha or unused, is not shown.
        if (format.redMask == 0x00FF0000 && format.greenMask == 0x0000FF00 && format.blueMask == 0x000000FF)
            return QImage::Format_RGB32;
        return QImage::Format_Invalid;
    default: return QImage::Format_Invalid;
    }
}

// The colour table padded to every value the pixels can hold: a value past
// the end of the bitmap's table shows black.
QList<QRgb> colourTable(const PixelFormat& format)
{
    QList<QRgb> table(qsizetype{1} << format.bitsPerPixel, qRgb(0, 0, 0));
    for (qsizetype i = 0; i < table.size() && i < static_cast<qsizetype>(format.colourTable.size()); ++i) {
        const Colour& entry = format.colourTable[static_cast<std::size_t>(i)];
        table[i] = qRgb(entry.red, entry.green, entry.blue);
    }
    return table;
}

} // namespace

void PicturePainter::show(const Bitmap* bitmap, const ScreenColours* colours, const std::uint8_t* alpha)
{
    bitmap_ = bitmap;
    const bool direct24 = bitmap != nullptr && bitmap->format().bitsPerPixel == 24;
    colours_ = direct24 && ((colours != nullptr && colours->converts()) || alpha != nullptr) ? colours : nullptr;
    alpha_ = colours_ != nullptr ? alpha : nullptr;
    image_ = QImage();
    converted_ = false;
    size_ = bitmap == nullptr ? QSize() : QSize(bitmap->width(), bitmap->height());
    if (bitmap == nullptr || bitmap->empty()) return;

    const QImage::Format format = directFormat(bitmap->format());
    if (format == QImage::Format_Invalid) {
        converted_ = true;
        image_ = QImage(size_, QImage::Format_BGR888);
        update(0, size_.height());
        return;
    }
    // The image reads the bitmap's memory, bottom row first; the const
    // pointer keeps it from ever copying or writing it.
    const std::span<const std::uint8_t> rows = bitmap->bottomUpRows();
    image_ = QImage(rows.data(), bitmap->width(), bitmap->height(), static_cast<qsizetype>(bitmap->stride()), format);
    if (bitmap->format().indexed()) image_.setColorTable(colourTable(bitmap->format()));
}

void PicturePainter::update(int top, int bottom)
{
    if (!converted_ || bitmap_ == nullptr) return;
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap_->height());
    if (top >= bottom) return;
    // 24-bit rows, top row first; a QImage row is padded to 4 bytes as the
    // transfer's rows are.
    const DibHeader info = DibHeader::topDownRows24(bitmap_->width(), bitmap_->height());
    if (copyRowsFromBitmap(*bitmap_, top, bottom - top, image_.scanLine(top), info) == 0) image_.fill(Qt::black);
}

void PicturePainter::paint(QPainter& painter, const QRect& part, Zoom zoom) const
{
    if (image_.isNull()) return;
    const int z = static_cast<int>(zoom.num / zoom.den);
    if (colours_ != nullptr) {
        paintConverted(painter, part, z);
        return;
    }
    if (converted_) {
        painter.drawImage(QRect(part.topLeft() * z, part.size() * z), image_, part);
        return;
    }
    // The image holds the rows bottom first: drawn upside down, picture row y
    // is its row height - 1 - y.
    painter.save();
    painter.translate(0, size_.height() * z);
    painter.scale(1, -1);
    const QRect rows(part.left(), size_.height() - 1 - part.bottom(), part.width(), part.height());
    painter.drawImage(QRect(rows.topLeft() * z, rows.size() * z), image_, rows);
    painter.restore();
}

void PicturePainter::paintConverted(QPainter& painter, const QRect& part, int zoom) const
{
    if (shown_.width() < part.width() || shown_.height() < part.height())
        shown_ = QImage(std::max(part.width(), shown_.width()), std::max(part.height(), shown_.height()),
                        QImage::Format_RGB32);
    const std::size_t width = static_cast<std::size_t>(bitmap_->width());
    for (int y = part.top(); y <= part.bottom(); ++y)
        colours_->convertRow(bitmap_->row(y) + 3 * part.left(),
                             alpha_ != nullptr ? alpha_ + y * width + static_cast<std::size_t>(part.left()) : nullptr,
                             part.left(), part.left() + part.width(), y,
                             reinterpret_cast<std::uint32_t*>(shown_.scanLine(y - part.top())));
    painter.drawImage(QRect(part.topLeft() * zoom, part.size() * zoom), shown_, QRect(QPoint(0, 0), part.size()));
}

QImage PicturePainter::topDownImage() const
{
    if (image_.isNull()) return QImage();
    if (colours_ != nullptr) {
        QImage image(size_, QImage::Format_RGB32);
        QPainter painter(&image);
        paintConverted(painter, QRect(QPoint(0, 0), size_), 1);
        return image;
    }
    return converted_ ? image_.copy() : image_.mirrored(false, true);
}

} // namespace plexor
