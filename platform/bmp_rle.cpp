#include "platform/bmp_rle.h"

#include <algorithm>
#include <cstring>

#include "platform/picture_error.h"
#include "platform/row_conversion.h"

namespace plexor {

namespace {

// Escape codes that follow a zero count.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfPicture = 1;
constexpr std::uint8_t kMove = 2;

// The write position. Rows count from the bottom, as the data does; both
// coordinates may run past the picture, where nothing is written.
struct Cursor {
    std::int64_t x = 0;
    std::int64_t row = 0;
};

class RleDecoder {
public:
    RleDecoder(std::span<const std::uint8_t> data, Bitmap& bitmap)
        : data_(data), bitmap_(bitmap), bits_(bitmap.format().bitsPerPixel), width_(bitmap.width()),
          height_(bitmap.height())
    {}

    void run()
    {
        for (;;) {
            const std::uint8_t count = next();
            const std::uint8_t value = next();
            if (count != 0) {
                repeat(count, value);
                continue;
            }
            switch (value) {
            case kEndOfLine:
                cursor_.x = 0;
                ++cursor_.row;
                break;
            case kEndOfPicture: return;
            case kMove:
                cursor_.x += next();
                cursor_.row += next();
                break;
            default: literal(value); break;
            }
        }
    }

private:
    std::uint8_t next()
    {
        if (position_ >= data_.size()) throwReadError();
        return data_[position_++];
    }

    // How many of `count` pixels from the cursor land inside the picture, and
    // the row they land in (null when none do).
    std::uint8_t* target(std::int64_t count, std::int64_t& inside) noexcept
    {
        inside = 0;
        if (cursor_.row >= height_ || cursor_.x >= width_) return nullptr;
        inside = std::min<std::int64_t>(count, width_ - cursor_.x);
        return bitmap_.row(static_cast<std::int32_t>(height_ - 1 - cursor_.row));
    }

    // `count` pixels of `value`; at 4 bits its two halves alternate.
    void repeat(std::uint8_t count, std::uint8_t value) noexcept
    {
        std::int64_t inside = 0;
        std::uint8_t* row = target(count, inside);
        const auto x0 = static_cast<std::int32_t>(cursor_.x);
        if (bits_ == 8) {
            if (inside > 0) std::memset(row + x0, value, static_cast<std::size_t>(inside));
        } else {
            const std::uint32_t halves[2] = {std::uint32_t{value} >> 4, value & 0xFu};
            for (std::int32_t i = 0; i < inside; ++i) storePixel(row, x0 + i, 4, halves[i & 1]);
        }
        cursor_.x += count;
    }

    // `count` pixels given one by one, padded to a whole number of words.
    void literal(std::uint8_t count)
    {
        const std::size_t bytes = bits_ == 8 ? count : (std::size_t{count} + 1) / 2;
        if (data_.size() - position_ < bytes) throwReadError();
        const std::uint8_t* source = data_.data() + position_;
        position_ = std::min(data_.size(), position_ + bytes + (bytes & 1));

        std::int64_t inside = 0;
        std::uint8_t* row = target(count, inside);
        const auto x0 = static_cast<std::int32_t>(cursor_.x);
        if (bits_ == 8) {
            if (inside > 0) std::memcpy(row + x0, source, static_cast<std::size_t>(inside));
        } else {
            for (std::int32_t i = 0; i < inside; ++i)
                storePixel(row, x0 + i, 4, (source[i >> 1] >> ((i & 1) ? 0 : 4)) & 0xFu);
        }
        cursor_.x += count;
    }

    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    Bitmap& bitmap_;
    std::uint16_t bits_;
    std::int64_t width_;
    std::int64_t height_;
    Cursor cursor_;
};

} // namespace

void decodeBmpRle(std::span<const std::uint8_t> data, Bitmap& bitmap)
{
    RleDecoder(data, bitmap).run();
}

} // namespace plexor
