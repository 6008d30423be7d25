#include "app/qt/qt_image_rows.h"

#include <cstring>

#include "platform/dib_transfer.h"
#include "platform/picture_error.h"

namespace plexor {

namespace {

// Blue, green, red from each 32-bit pixel 0xAARRGGBB, the alpha left out.
void rowFrom32(const uchar* from, std::uint8_t* to, int width) noexcept
{
    const auto* pixels = reinterpret_cast<const QRgb*>(from);
    for (int x = 0; x < width; ++x, to += 3) {
        const QRgb pixel = pixels[x];
        to[0] = static_cast<std::uint8_t>(qBlue(pixel));
        to[1] = static_cast<std::uint8_t>(qGreen(pixel));
        to[2] = static_cast<std::uint8_t>(qRed(pixel));
    }
}

void rowFromRgb888(const uchar* from, std::uint8_t* to, int width) noexcept
{
    for (int x = 0; x < width; ++x, from += 3, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
    }
}

void rowFromGrey(const uchar* from, std::uint8_t* to, int width) noexcept
{
    for (int x = 0; x < width; ++x, to += 3) to[0] = to[1] = to[2] = from[x];
}

// A colour-table image: each index through the table, a missing entry black.
void rowFromIndexed(const uchar* from, std::uint8_t* to, int width, const QList<QRgb>& table) noexcept
{
    const qsizetype entries = table.size();
    for (int x = 0; x < width; ++x, to += 3) {
        const QRgb pixel = from[x] < entries ? table[from[x]] : 0;
        to[0] = static_cast<std::uint8_t>(qBlue(pixel));
        to[1] = static_cast<std::uint8_t>(qGreen(pixel));
        to[2] = static_cast<std::uint8_t>(qRed(pixel));
    }
}

bool readStraight(QImage::Format format) noexcept
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8: return true;
    default: return false;
    }
}

// Converts to 32 bits a pixel, unpremultiplied where there is alpha, so the
// colours of translucent pixels are what the file stored.
void convertTo32(QImage& image)
{
    const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != wanted) image.convertTo(wanted);
}

// The alpha of an image read straight, a byte a pixel; empty when every
// pixel is opaque, which costs nothing more than a picture without alpha.
ByteBuffer alphaOf(const QImage& image)
{
    if (!image.hasAlphaChannel()) return {};
    const int width = image.width();
    const int height = image.height();
    ByteBuffer alpha = ByteBuffer::uninitialised(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const QList<QRgb> table = image.colorTable();
    bool opaque = true;
    for (int y = 0; y < height; ++y) {
        const uchar* from = image.constScanLine(y);
        std::uint8_t* to = alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (image.format() == QImage::Format_Indexed8) {
            for (int x = 0; x < width; ++x) to[x] = from[x] < table.size() ? qAlpha(table[from[x]]) : 255;
        } else {
            const auto* pixels = reinterpret_cast<const QRgb*>(from);
            for (int x = 0; x < width; ++x) to[x] = static_cast<std::uint8_t>(qAlpha(pixels[x]));
        }
        for (int x = 0; x < width; ++x) opaque = opaque && to[x] == 255;
    }
    return opaque ? ByteBuffer() : std::move(alpha);
}

} // namespace

Picture pictureFromImage(QImage image)
{
    if (!readStraight(image.format())) convertTo32(image);
    ByteBuffer alpha = alphaOf(image);

    const int width = image.width();
    const int height = image.height();
    const std::size_t stride = static_cast<std::size_t>(paddedRowBytes(static_cast<std::uint64_t>(width), 24));
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) throwBitmapInvalid();
    Bitmap bitmap = Bitmap::adopt(width, height, PixelFormat::rgb24(),
                                  ByteBuffer::uninitialised(stride * static_cast<std::size_t>(height)), 0);
    const QList<QRgb> table = image.colorTable();
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uchar* from = image.constScanLine(y);
        std::uint8_t* to = bitmap.row(y);
        switch (image.format()) {
        case QImage::Format_BGR888: std::memcpy(to, from, used); break;
        case QImage::Format_RGB888: rowFromRgb888(from, to, width); break;
        case QImage::Format_Grayscale8: rowFromGrey(from, to, width); break;
        case QImage::Format_Indexed8: rowFromIndexed(from, to, width, table); break;
        default: rowFrom32(from, to, width); break;
        }
        std::memset(to + used, 0, stride - used);
    }
    return Picture::fromBitmap(std::move(bitmap), std::move(alpha));
}

Picture pictureFromHeif(const HeifPicture& picture)
{
    // Its rows as one image, with the alpha beside the colours where it has
    // one; the values stay in the colour space its profile describes.
    if (picture.alpha.empty()) {
        QImage image(picture.rgb.data(), picture.width, picture.height, static_cast<qsizetype>(picture.width) * 3,
                     QImage::Format_RGB888);
        if (image.isNull()) throwBitmapInvalid();
        return pictureFromImage(std::move(image));
    }
    QImage image(picture.width, picture.height,
                 picture.alphaPremultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888);
    if (image.isNull()) throwBitmapInvalid();
    const std::size_t width = static_cast<std::size_t>(picture.width);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* rgb = picture.rgb.data() + 3 * width * static_cast<std::size_t>(y);
        const std::uint8_t* alpha = picture.alpha.data() + width * static_cast<std::size_t>(y);
        uchar* to = image.scanLine(y);
        for (std::size_t x = 0; x < width; ++x, rgb += 3, to += 4) {
            std::memcpy(to, rgb, 3);
            to[3] = alpha[x];
        }
    }
    return pictureFromImage(std::move(image));
}

QImage imageFromBitmap(const Bitmap& bitmap, std::span<const std::uint8_t> alpha)
{
    if (!alpha.empty()) {
        QImage image(bitmap.width(), bitmap.height(), QImage::Format_ARGB32);
        if (image.isNull()) throwBitmapInvalid();
        const QImage colours = imageFromBitmap(bitmap);
        const std::size_t width = static_cast<std::size_t>(bitmap.width());
        for (int y = 0; y < bitmap.height(); ++y) {
            const uchar* from = colours.constScanLine(y);
            const std::uint8_t* a = alpha.data() + static_cast<std::size_t>(y) * width;
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (std::size_t x = 0; x < width; ++x, from += 3) to[x] = qRgba(from[2], from[1], from[0], a[x]);
        }
        return image;
    }
    // The image's rows are padded to 4 bytes as a 24-bit block's are.
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_BGR888);
    if (image.isNull()) throwBitmapInvalid();
    const DibHeader info = DibHeader::topDownRows24(bitmap.width(), bitmap.height());
    if (copyRowsFromBitmap(bitmap, 0, bitmap.height(), image.bits(), info) != bitmap.height()) throwBitmapInvalid();
    return image;
}

} // namespace plexor
