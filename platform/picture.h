#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/bitmap.h"

namespace plexor {

// No picture file the program reads is larger: a bitmap file of the largest
// picture at 32 bits a pixel, with room for headers and gaps.
inline constexpr std::uint64_t kMaxPictureFileBytes = kMaxBitmapPixels * 4 + (std::uint64_t{16} << 20);

// A picture's pixels as a writer takes them, borrowed from their owner: the
// bitmap, and beside it, rows top to bottom without gaps, the alpha (a byte
// a pixel, 255 opaque; empty when opaque) and, for a picture of more than 8
// bits a channel, the low bytes of its 16-bit channels (3 a pixel: blue,
// green, red) and of its alpha (a byte a pixel; empty when opaque). A
// 16-bit value is the bitmap's byte shifted up 8 and the low byte beside
// it; without low bytes, each value is its high byte twice, which is the
// 8-bit value exactly. bitDepth is the depth to write the picture at
// where its format can hold it: 8, 10, 12 or 16.
struct PicturePlanes {
    const Bitmap& bitmap;
    std::span<const std::uint8_t> alpha = {};
    std::span<const std::uint8_t> lowBytes = {};
    std::span<const std::uint8_t> alphaLow = {};
    int bitDepth = 8;
};

// A picture as opened: a bitmap, with its alpha where it has transparent
// parts; empty for an icon or metafile, which are recognised but not drawn. A picture of more than 8 bits a channel
// keeps the high byte of each channel in the bitmap, which is what is shown and what 8-bit formats are written from,
// and the low bytes beside it.
class Picture {
public:
    Picture() = default;

    // A picture of `bitmap`, with `alpha` (a byte a pixel, rows top to
    // bottom, 255 opaque; empty for an opaque picture).
    static Picture fromBitmap(Bitmap bitmap, ByteBuffer alpha = {});

    // A picture of 16-bit channels, the high bytes in the 24-bit `bitmap`
    // and `alpha`, the low bytes in `lowBytes` (3 a pixel: blue, green, red,
    // rows top to bottom without gaps) and `alphaLow` (a byte a pixel, empty
    // where `alpha` is); `bitDepth` (10, 12 or 16) is the depth of the file
    // it came from. Values of 10 and 12 bits are widened to 16 by repeating
    // their top bits below them, so that the top bits are the value again.
    static Picture fromDeepBitmap(Bitmap bitmap, ByteBuffer alpha, ByteBuffer lowBytes, ByteBuffer alphaLow,
                                  int bitDepth);

    Bitmap& bitmap() noexcept { return bitmap_; }
    const Bitmap& bitmap() const noexcept { return bitmap_; }
    ByteBuffer& alpha() noexcept { return alpha_; }
    const ByteBuffer& alpha() const noexcept { return alpha_; }

    // The low bytes of a picture of more than 8 bits a channel; both empty
    // for an 8-bit picture, which costs nothing more for them.
    ByteBuffer& lowBytes() noexcept { return lowBytes_; }
    const ByteBuffer& lowBytes() const noexcept { return lowBytes_; }
    ByteBuffer& alphaLow() noexcept { return alphaLow_; }
    const ByteBuffer& alphaLow() const noexcept { return alphaLow_; }
    // 8, 10, 12 or 16: the bits a channel of the file it came from.
    int bitDepth() const noexcept { return bitDepth_; }
    bool deep() const noexcept { return !lowBytes_.empty(); }

    // Its pixels as a writer takes them, at its own depth.
    PicturePlanes planes() const noexcept;

    void swap(Picture& other) noexcept;

private:
    Bitmap bitmap_;
    ByteBuffer alpha_;
    ByteBuffer lowBytes_;
    ByteBuffer alphaLow_;
    int bitDepth_ = 8;
};

// The extension of the file name in `path` as written, without its dot;
// empty when the name has none.
std::string pictureFileExtension(const std::string& path);

// `path` with its extension, if any, replaced by `extension`; empty when
// `path` is.
std::string withExtension(const std::string& path, const std::string& extension);

} // namespace plexor
