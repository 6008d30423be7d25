#include "app/qt/qt_image_rows.h"

#include <cstring>

#include "platform/deep_channels.h"
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

// Formats of more than 8 bits a channel.
bool holdsDeepChannels(QImage::Format format) noexcept
{
    switch (format) {
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_Grayscale16:
    case QImage::Format_BGR30:
    case QImage::Format_A2BGR30_Premultiplied:
    case QImage::Format_RGB30:
    case QImage::Format_A2RGB30_Premultiplied:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied: return true;
    default: return false;
    }
}

// A 24-bit bitmap of `image`'s size, its rows not yet written.
Bitmap rowsFor(const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) throwBitmapInvalid();
    const std::size_t stride = static_cast<std::size_t>(paddedRowBytes(static_cast<std::uint64_t>(width), 24));
    return Bitmap::adopt(width, height, PixelFormat::rgb24(),
                         ByteBuffer::uninitialised(stride * static_cast<std::size_t>(height)), 0);
}

// Split a row of 16-bit values into their high bytes, in `high`, and low
// bytes, in `low`: grey values into three of each, red-green-blue-alpha
// ones into blue, green and red, or into the alpha alone.
void splitGreyRow(const quint16* from, std::uint8_t* high, std::uint8_t* low, int width) noexcept
{
    for (int x = 0; x < width; ++x, high += 3, low += 3) {
        high[0] = high[1] = high[2] = static_cast<std::uint8_t>(from[x] >> 8);
        low[0] = low[1] = low[2] = static_cast<std::uint8_t>(from[x]);
    }
}

void splitColourRow(const quint16* from, std::uint8_t* high, std::uint8_t* low, int width) noexcept
{
    for (int x = 0; x < width; ++x, from += 4, high += 3, low += 3)
        for (int c = 0; c < 3; ++c) {
            high[c] = static_cast<std::uint8_t>(from[2 - c] >> 8);
            low[c] = static_cast<std::uint8_t>(from[2 - c]);
        }
}

void splitAlphaRow(const quint16* from, std::uint8_t* high, std::uint8_t* low, int width) noexcept
{
    for (int x = 0; x < width; ++x) {
        high[x] = static_cast<std::uint8_t>(from[4 * x + 3] >> 8);
        low[x] = static_cast<std::uint8_t>(from[4 * x + 3]);
    }
}

// A picture of 16-bit channels of `image`, which is 16-bit grey or 16-bit
// red-green-blue with or without alpha, unmultiplied; its alpha only where
// some pixel is not opaque.
Picture deepPicture(const QImage& image, int bitDepth)
{
    Bitmap bitmap = rowsFor(image);
    const int width = image.width();
    const int height = image.height();
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    ByteBuffer low = ByteBuffer::uninitialised(pixels * 3);
    const bool grey = image.format() == QImage::Format_Grayscale16;
    const bool alpha = image.format() == QImage::Format_RGBA64;
    ByteBuffer alphaHigh = alpha ? ByteBuffer::uninitialised(pixels) : ByteBuffer();
    ByteBuffer alphaLow = alpha ? ByteBuffer::uninitialised(pixels) : ByteBuffer();
    bool opaque = true;
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const quint16*>(image.constScanLine(y));
        std::uint8_t* to = bitmap.row(y);
        std::uint8_t* lowRow = low.data() + static_cast<std::size_t>(y) * used;
        if (grey)
            splitGreyRow(from, to, lowRow, width);
        else
            splitColourRow(from, to, lowRow, width);
        std::memset(to + used, 0, bitmap.stride() - used);
        if (!alpha) continue;
        std::uint8_t* a = alphaHigh.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::uint8_t* b = alphaLow.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        splitAlphaRow(from, a, b, width);
        for (int x = 0; x < width; ++x) opaque = opaque && (a[x] & b[x]) == 255;
    }
    if (opaque) {
        alphaHigh.release();
        alphaLow.release();
    }
    return Picture::fromDeepBitmap(std::move(bitmap), std::move(alphaHigh), std::move(low), std::move(alphaLow),
                                   bitDepth);
}

// An image of more than 8 bits a channel as a picture of 16: grey as it is,
// colour converted by Qt, where it is not so already, to 16-bit channels,
// unmultiplied where there is alpha.
Picture deepPictureFromImage(QImage image, int bitDepth)
{
    if (image.format() != QImage::Format_Grayscale16) {
        const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
        if (image.format() != wanted) image.convertTo(wanted);
    }
    return deepPicture(image, bitDepth);
}

// The rows of a bitmap at 24 bits, top to bottom: its own where it is of
// 24 bits, else those of a converted copy.
class Rows24 {
public:
    explicit Rows24(const Bitmap& bitmap) : bitmap_(bitmap)
    {
        if (bitmap.format().bitsPerPixel != 24) converted_ = imageFromBitmap(bitmap);
    }
    const std::uint8_t* row(int y) const { return converted_.isNull() ? bitmap_.row(y) : converted_.constScanLine(y); }

private:
    const Bitmap& bitmap_;
    QImage converted_;
};

// Every pixel grey, low bytes and all.
bool everyPixelGrey(const Rows24& rows, const PicturePlanes& picture)
{
    const int width = picture.bitmap.width();
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < picture.bitmap.height(); ++y) {
        const std::uint8_t* high = rows.row(y);
        const std::uint8_t* low = picture.lowBytes.empty() ? high : picture.lowBytes.data() + y * used;
        bool grey = true;
        for (std::size_t i = 0; i < used; i += 3)
            grey = grey && high[i] == high[i + 1] && high[i] == high[i + 2] && low[i] == low[i + 1] &&
                   low[i] == low[i + 2];
        if (!grey) return false;
    }
    return true;
}

} // namespace

Picture pictureFromImage(QImage image)
{
    if (holdsDeepChannels(image.format())) return deepPictureFromImage(std::move(image), 16);
    if (!readStraight(image.format())) convertTo32(image);
    ByteBuffer alpha = alphaOf(image);

    const int width = image.width();
    const int height = image.height();
    Bitmap bitmap = rowsFor(image);
    const std::size_t stride = bitmap.stride();
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
    const std::size_t width = static_cast<std::size_t>(picture.width);
    const std::size_t pixels = width * static_cast<std::size_t>(picture.height);
    if (picture.bitDepth > 8) {
        // Widened to 16 bits, from which the file's own values come back.
        const bool alpha = !picture.deepAlpha.empty();
        if (picture.bitDepth > 16 || picture.deepRgb.size() != pixels * 3 ||
            (alpha && picture.deepAlpha.size() != pixels))
            throwBitmapInvalid();
        QImage image(picture.width, picture.height,
                     !alpha                       ? QImage::Format_RGBX64
                     : picture.alphaPremultiplied ? QImage::Format_RGBA64_Premultiplied
                                                  : QImage::Format_RGBA64);
        if (image.isNull()) throwBitmapInvalid();
        const int bits = picture.bitDepth;
        for (int y = 0; y < picture.height; ++y) {
            const std::uint16_t* rgb = picture.deepRgb.data() + 3 * width * static_cast<std::size_t>(y);
            const std::uint16_t* a = alpha ? picture.deepAlpha.data() + width * static_cast<std::size_t>(y) : nullptr;
            auto* to = reinterpret_cast<quint16*>(image.scanLine(y));
            for (std::size_t x = 0; x < width; ++x, rgb += 3, to += 4) {
                to[0] = widenedTo16Bits(rgb[0], bits);
                to[1] = widenedTo16Bits(rgb[1], bits);
                to[2] = widenedTo16Bits(rgb[2], bits);
                to[3] = 0xFFFF;
            }
            if (a != nullptr) {
                auto* alphaTo = reinterpret_cast<quint16*>(image.scanLine(y)) + 3;
                for (std::size_t x = 0; x < width; ++x) alphaTo[4 * x] = widenedTo16Bits(a[x], bits);
            }
        }
        return deepPictureFromImage(std::move(image), bits <= 10 ? 10 : bits <= 12 ? 12 : 16);
    }
    // Its rows as one image, with the alpha beside the colours where it has
    // one; the values stay in the colour space its profile describes.
    if (picture.rgb.size() != pixels * 3 || (!picture.alpha.empty() && picture.alpha.size() != pixels))
        throwBitmapInvalid();
    if (picture.alpha.empty()) {
        QImage image(picture.rgb.data(), picture.width, picture.height, static_cast<qsizetype>(picture.width) * 3,
                     QImage::Format_RGB888);
        if (image.isNull()) throwBitmapInvalid();
        return pictureFromImage(std::move(image));
    }
    QImage image(picture.width, picture.height,
                 picture.alphaPremultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888);
    if (image.isNull()) throwBitmapInvalid();
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

QImage deepImageFromPlanes(const PicturePlanes& picture)
{
    if (!planesFit(picture)) throwBitmapInvalid();
    const Rows24 rows(picture.bitmap);
    const int width = picture.bitmap.width();
    const int height = picture.bitmap.height();
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    const bool alpha = !picture.alpha.empty();
    const bool grey = !alpha && everyPixelGrey(rows, picture);
    QImage image(width, height,
                 grey    ? QImage::Format_Grayscale16
                 : alpha ? QImage::Format_RGBA64
                         : QImage::Format_RGBX64);
    if (image.isNull()) throwBitmapInvalid();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* high = rows.row(y);
        // Without low bytes, each value is its high byte twice.
        const std::uint8_t* low = picture.lowBytes.empty() ? high : picture.lowBytes.data() + y * used;
        auto* to = reinterpret_cast<quint16*>(image.scanLine(y));
        if (grey) {
            for (int x = 0; x < width; ++x) to[x] = static_cast<quint16>(high[3 * x] << 8 | low[3 * x]);
            continue;
        }
        for (int x = 0; x < width; ++x, high += 3, low += 3, to += 4) {
            to[0] = static_cast<quint16>(high[2] << 8 | low[2]);
            to[1] = static_cast<quint16>(high[1] << 8 | low[1]);
            to[2] = static_cast<quint16>(high[0] << 8 | low[0]);
            to[3] = 0xFFFF;
        }
        if (!alpha) continue;
        const std::uint8_t* a = picture.alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::uint8_t* b =
            picture.alphaLow.empty() ? a : picture.alphaLow.data() + static_cast<std::size_t>(y) * width;
        auto* alphaTo = reinterpret_cast<quint16*>(image.scanLine(y)) + 3;
        for (int x = 0; x < width; ++x) alphaTo[4 * x] = static_cast<quint16>(a[x] << 8 | b[x]);
    }
    return image;
}

HeifPicture heifFromPlanes(const PicturePlanes& picture, int bitDepth)
{
    if (!planesFit(picture) || (bitDepth != 8 && bitDepth != 10 && bitDepth != 12)) throwBitmapInvalid();
    HeifPicture heif;
    heif.width = picture.bitmap.width();
    heif.height = picture.bitmap.height();
    heif.bitDepth = bitDepth;
    const std::size_t width = static_cast<std::size_t>(heif.width);
    const std::size_t pixels = width * static_cast<std::size_t>(heif.height);
    if (bitDepth == 8) {
        // The nearest 8-bit values of a deeper picture.
        const Picture rounded = picture.lowBytes.empty() ? Picture() : roundedTo8Bits(picture);
        const PicturePlanes eight = picture.lowBytes.empty() ? picture : rounded.planes();
        const Rows24 rows(eight.bitmap);
        heif.rgb.resize(pixels * 3);
        for (int y = 0; y < heif.height; ++y) {
            const std::uint8_t* from = rows.row(y);
            std::uint8_t* to = heif.rgb.data() + static_cast<std::size_t>(y) * width * 3;
            for (std::size_t x = 0; x < width; ++x, from += 3, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        }
        heif.alpha.assign(eight.alpha.begin(), eight.alpha.end());
        return heif;
    }
    const Rows24 rows(picture.bitmap);
    const std::size_t used = width * 3;
    heif.deepRgb.resize(pixels * 3);
    for (int y = 0; y < heif.height; ++y) {
        const std::uint8_t* high = rows.row(y);
        const std::uint8_t* low = picture.lowBytes.empty() ? high : picture.lowBytes.data() + y * used;
        std::uint16_t* to = heif.deepRgb.data() + static_cast<std::size_t>(y) * used;
        for (std::size_t x = 0; x < width; ++x, high += 3, low += 3, to += 3)
            for (int c = 0; c < 3; ++c)
                to[c] = narrowedFrom16Bits(std::uint32_t{high[2 - c]} << 8 | low[2 - c], bitDepth);
    }
    if (!picture.alpha.empty()) {
        const std::span<const std::uint8_t> low = picture.alphaLow.empty() ? picture.alpha : picture.alphaLow;
        heif.deepAlpha.resize(pixels);
        for (std::size_t i = 0; i < pixels; ++i)
            heif.deepAlpha[i] = narrowedFrom16Bits(std::uint32_t{picture.alpha[i]} << 8 | low[i], bitDepth);
    }
    return heif;
}

} // namespace plexor
