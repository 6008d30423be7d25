#include "app/qt/bitmap_view.h"

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
        Update();
        return;
    }
    // The image reads the bitmap's memory, bottom row first; the const
    // pointer keeps it from ever copying or writing it.
    const std::span<const std::uint8_t> rows = bitmap->BottomUpRows();
    image_ = QImage(rows.data(), bitmap->Width(), bitmap->Height(), static_cast<qsizetype>(bitmap->Stride()), format);
    if (bitmap->Format().Indexed()) image_.setColorTable(ColourTable(bitmap->Format()));
}

void BitmapView::Update()
{
    if (!converted_ || bitmap_ == nullptr) return;
    // 24-bit rows, top row first; a QImage row is padded to 4 bytes as the
    // transfer's rows are.
    BitmapInfo info{};
    info.bmiHeader.biWidth = bitmap_->Width();
    info.bmiHeader.biHeight = -bitmap_->Height();
    if (GetDIBits(*bitmap_, 0, bitmap_->Height(), image_.bits(), info) == 0) image_.fill(Qt::black);
}

void BitmapView::Paint(QPainter& painter) const
{
    if (image_.isNull()) return;
    if (converted_) {
        painter.drawImage(0, 0, image_);
        return;
    }
    painter.save();
    painter.translate(0, size_.height());
    painter.scale(1, -1);
    painter.drawImage(0, 0, image_);
    painter.restore();
}

QImage BitmapView::TopDownImage() const
{
    if (image_.isNull()) return QImage();
    return converted_ ? image_.copy() : image_.mirrored(false, true);
}

} // namespace plexor
