#include "app/qt/bitmap_view.h"

#include <algorithm>

#include <QPainter>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor {
namespace {

// Qt's format for a bitmap's rows as they stand, or Invalid when they have
// to be converted.
QImage::Format DirectFormat(const PixelFormat& format)
{
    switch (format.BitsPerPixel) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 24: return QImage::Format_BGR888;
    case 16:
        if (format.RedMask == 0x7C00 && format.GreenMask == 0x03E0 && format.BlueMask == 0x001F)
            return QImage::Format_RGB555;
        if (format.RedMask == 0xF800 && format.GreenMask == 0x07E0 && format.BlueMask == 0x001F)
            return QImage::Format_RGB16;
        return QImage::Format_Invalid;
    case 32:
        // The top byte, alpha or unused, is not shown.
        if (format.RedMask == 0x00FF0000 && format.GreenMask == 0x0000FF00 && format.BlueMask == 0x000000FF)
            return QImage::Format_RGB32;
        return QImage::Format_Invalid;
    default: return QImage::Format_Invalid;
    }
}

// The colour table padded to every value the pixels can hold: a value past
// the end of the bitmap's table shows black.
QList<QRgb> ColourTable(const PixelFormat& format)
{
    QList<QRgb> table(qsizetype{1} << format.BitsPerPixel, qRgb(0, 0, 0));
    for (qsizetype i = 0; i < table.size() && i < static_cast<qsizetype>(format.ColourTable.size()); ++i) {
        const RgbQuad& entry = format.ColourTable[static_cast<std::size_t>(i)];
        table[i] = qRgb(entry.Red, entry.Green, entry.Blue);
    }
    return table;
}

} // namespace

void BitmapView::Show(const TBitmap* bitmap)
{
    bitmap_ = bitmap;
    image_ = QImage();
    converted_ = false;
    size_ = bitmap == nullptr ? QSize() : QSize(bitmap->Width(), bitmap->Height());
    if (bitmap == nullptr || bitmap->Empty()) return;

    const QImage::Format format = DirectFormat(bitmap->Format());
    if (format == QImage::Format_Invalid) {
        converted_ = true;
        image_ = QImage(size_, QImage::Format_BGR888);
        Update(0, size_.height());
        return;
    }
    // The image reads the bitmap's memory, bottom row first; the const
    // pointer keeps it from ever copying or writing it.
    const std::span<const std::uint8_t> rows = bitmap->BottomUpRows();
    image_ = QImage(rows.data(), bitmap->Width(), bitmap->Height(), static_cast<qsizetype>(bitmap->Stride()), format);
    if (bitmap->Format().Indexed()) image_.setColorTable(ColourTable(bitmap->Format()));
}

void BitmapView::Update(int top, int bottom)
{
    if (!converted_ || bitmap_ == nullptr) return;
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap_->Height());
    if (top >= bottom) return;
    // 24-bit rows, top row first; a QImage row is padded to 4 bytes as the
    // transfer's rows are.
    BitmapInfo info{};
    info.bmiHeader.biWidth = bitmap_->Width();
    info.bmiHeader.biHeight = -bitmap_->Height();
    if (GetDIBits(*bitmap_, top, bottom - top, image_.scanLine(top), info) == 0) image_.fill(Qt::black);
}

void BitmapView::Paint(QPainter& painter, const QRect& part, Zoom zoom) const
{
    if (image_.isNull()) return;
    const int z = static_cast<int>(zoom.Num / zoom.Den);
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

QImage BitmapView::TopDownImage() const
{
    if (image_.isNull()) return QImage();
    return converted_ ? image_.copy() : image_.mirrored(false, true);
}

} // namespace plexor
