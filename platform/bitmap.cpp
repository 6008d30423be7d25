#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/picture_error.h"
#include "platform/row_conversion.h"

namespace plexor {

namespace {

// Checks a size and format that a bitmap is to take; returns its row stride.
std::size_t checkedStride(std::int32_t width, std::int32_t height, const PixelFormat& format)
{
    if (width < 0 || height < 0 || !isValidFormat(format)) throwBitmapInvalid();
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) throwBitmapInvalid();
    if (width == 0 || height == 0) return 0;
    return static_cast<std::size_t>(paddedRowBytes(static_cast<std::uint64_t>(width), format.bitsPerPixel));
}

// Sets pixels [from, to) of a row to the stored value `value`.
void fillPixels(std::uint8_t* row, std::int32_t from, std::int32_t to, std::uint16_t bits, std::uint32_t value) noexcept
{
    switch (bits) {
    case 1:
        for (std::int32_t x = from; x < to; ++x) storePixel(row, x, 1, value);
        break;
    case 4:
        for (std::int32_t x = from; x < to; ++x) storePixel(row, x, 4, value);
        break;
    default: {
        std::uint8_t pixel[4] = {};
        const std::size_t bytes = bits / 8;
        storePixel(pixel, 0, bits, value);
        for (std::uint8_t* p = row + from * bytes; p < row + to * bytes; p += bytes) std::memcpy(p, pixel, bytes);
        break;
    }
    }
}

} // namespace

Bitmap::Bitmap(std::int32_t width, std::int32_t height, PixelFormat format)
{
    stride_ = checkedStride(width, height, format);
    width_ = width;
    height_ = height;
    format_ = std::move(format);
    storage_ = ByteBuffer::zeroed(stride_ * static_cast<std::size_t>(empty() ? 0 : height_));
}

Bitmap Bitmap::adopt(std::int32_t width, std::int32_t height, PixelFormat format, ByteBuffer storage,
                     std::size_t offset)
{
    Bitmap bitmap;
    bitmap.stride_ = checkedStride(width, height, format);
    const std::size_t need = bitmap.stride_ * static_cast<std::size_t>(height);
    if (offset > storage.size() || storage.size() - offset < need) throwBitmapInvalid();
    bitmap.width_ = width;
    bitmap.height_ = height;
    bitmap.format_ = std::move(format);
    bitmap.storage_ = std::move(storage);
    bitmap.offset_ = offset;
    return bitmap;
}

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_), height_(other.height_), format_(other.format_), stride_(other.stride_),
      storage_(ByteBuffer::copyOf(other.bottomUpRows())), brush_(other.brush_)
{}

Bitmap& Bitmap::operator=(const Bitmap& other)
{
    if (this != &other) {
        Bitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0)),
      format_(std::exchange(other.format_, PixelFormat{})), stride_(std::exchange(other.stride_, 0)),
      storage_(std::move(other.storage_)), offset_(std::exchange(other.offset_, 0)),
      brush_(std::exchange(other.brush_, 0)), matcher_(std::move(other.matcher_))
{}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept
{
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    format_ = std::exchange(other.format_, PixelFormat{});
    stride_ = std::exchange(other.stride_, 0);
    storage_ = std::move(other.storage_);
    offset_ = std::exchange(other.offset_, 0);
    brush_ = std::exchange(other.brush_, 0);
    matcher_ = std::move(other.matcher_);
    return *this;
}

Bitmap::~Bitmap() = default;

void Bitmap::setWidth(std::int32_t width)
{
    if (width == width_) return;
    const std::size_t stride = checkedStride(width, height_, format_);
    const std::uint16_t bits = format_.bitsPerPixel;
    ByteBuffer storage = ByteBuffer::zeroed(stride * static_cast<std::size_t>(height_));
    if (stride != 0) {
        const std::int32_t kept = std::min(width_, width);
        const std::size_t keptBytes = (static_cast<std::size_t>(kept) * bits + 7) / 8;
        const std::uint32_t brush =
            encodePixel(format_, static_cast<std::uint8_t>(brush_), static_cast<std::uint8_t>(brush_ >> 8),
                        static_cast<std::uint8_t>(brush_ >> 16));
        for (std::int32_t r = 0; r < height_; ++r) {
            std::uint8_t* target = storage.data() + static_cast<std::size_t>(r) * stride;
            if (keptBytes != 0)
                std::memcpy(target, storage_.data() + offset_ + static_cast<std::size_t>(r) * stride_, keptBytes);
            // A shrunk row of fewer than 8 bits a pixel keeps no stray bits
            // past its last pixel.
            if (bits < 8) {
                const std::size_t usedBits = static_cast<std::size_t>(kept) * bits;
                if (usedBits % 8 != 0) target[usedBits / 8] &= static_cast<std::uint8_t>(0xFF00u >> (usedBits % 8));
            }
            fillPixels(target, kept, width, bits, brush);
        }
    }
    width_ = width;
    stride_ = stride;
    storage_ = std::move(storage);
    offset_ = 0;
}

NearestColourCache& Bitmap::colourMatcher()
{
    if (!matcher_ || !matcher_->serves(format_.colourTable))
        matcher_ = std::make_unique<NearestColourCache>(format_.colourTable);
    return *matcher_;
}

} // namespace plexor
