#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/byte_buffer.h"
#include "platform/nearest_colour.h"
#include "platform/pixel_format.h"

namespace plexor {

// A picture held in memory in the pixel format it was read in. Rows are stored
// as in a device-independent bitmap file: each padded to a multiple of 4 bytes,
// the bottom row first, so a file's pixel block and a bitmap's are alike.
// row(0) is still the top row.
class Bitmap {
public:
    // Empty, 0 × 0, 24 bits.
    Bitmap() = default;

    // width × height pixels of `format`, every pixel byte 0. Throws PictureError
    // for a negative size, a picture past the pixel limit or an invalid format.
    Bitmap(std::int32_t width, std::int32_t height, PixelFormat format);

    // Takes `storage` as its pixel rows, bottom row first, beginning at byte
    // `offset`; it must hold stride() · height bytes from there.
    static Bitmap adopt(std::int32_t width, std::int32_t height, PixelFormat format, ByteBuffer storage,
                        std::size_t offset);

    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap();

    std::int32_t width() const noexcept { return width_; }
    // Always positive or 0, whatever the row order of the file.
    std::int32_t height() const noexcept { return height_; }
    bool empty() const noexcept { return width_ == 0 || height_ == 0; }
    const PixelFormat& format() const noexcept { return format_; }
    // Bytes of one row, padded to a multiple of 4.
    std::size_t stride() const noexcept { return stride_; }

    // Row y counted from the top; 0 <= y < height().
    std::uint8_t* row(std::int32_t y) noexcept
    {
        return storage_.data() + offset_ + static_cast<std::size_t>(height_ - 1 - y) * stride_;
    }
    const std::uint8_t* row(std::int32_t y) const noexcept
    {
        return storage_.data() + offset_ + static_cast<std::size_t>(height_ - 1 - y) * stride_;
    }

    // Every row, bottom row first, as a file stores them.
    std::span<const std::uint8_t> bottomUpRows() const noexcept
    {
        return {storage_.data() + offset_, stride_ * static_cast<std::size_t>(height_)};
    }

    // The colour that new columns take: 0x00BBGGRR, 0 is black.
    void setBrushColour(std::uint32_t colour) noexcept { brush_ = colour; }

    // Changes the width and keeps the height and the pixel format. Pixels keep
    // their places from the left edge; new columns take the brush colour (for
    // a colour table, the table colour nearest to it). Throws PictureError for
    // a negative width or one that passes the pixel limit.
    void setWidth(std::int32_t width);

    // Matches colours to this bitmap's table; obtained on first use and kept,
    // so later matches against the same table allocate nothing.
    NearestColourCache& colourMatcher();

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    PixelFormat format_;
    std::size_t stride_ = 0;
    ByteBuffer storage_;
    std::size_t offset_ = 0;
    std::uint32_t brush_ = 0;
    std::unique_ptr<NearestColourCache> matcher_;
};

} // namespace plexor
