#pragma once

#include <cstdint>
#include <string>

#include "platform/bitmap.h"

namespace plexor {

// No picture file the program reads is larger: a bitmap file of the largest
// picture at 32 bits a pixel, with room for headers and gaps.
inline constexpr std::uint64_t kMaxPictureFileBytes = kMaxBitmapPixels * 4 + (std::uint64_t{16} << 20);

// A picture as opened: a bitmap, with its alpha where it has transparent
// parts, or an icon or metafile, which are recognised but not drawn and so
// hold no pixels.
class Picture {
public:
    Picture() = default;

    // A picture of `bitmap`, with `alpha` (a byte a pixel, rows top to
    // bottom, 255 opaque; empty for an opaque picture); an icon; a metafile.
    static Picture fromBitmap(Bitmap bitmap, ByteBuffer alpha = {});
    static Picture icon();
    static Picture metafile();

    // The content as a bitmap. Content of another kind is first replaced by
    // an empty bitmap.
    Bitmap& bitmap();
    bool holdsBitmap() const noexcept { return kind_ == Kind::Bitmap; }
    ByteBuffer& alpha() noexcept { return alpha_; }
    const ByteBuffer& alpha() const noexcept { return alpha_; }

    void swap(Picture& other) noexcept;

private:
    enum class Kind { Bitmap, Icon, Metafile };

    Kind kind_ = Kind::Bitmap;
    Bitmap bitmap_;
    ByteBuffer alpha_;
};

// The extension of the file name in `path` as written, without its dot;
// empty when the name has none.
std::string pictureFileExtension(const std::string& path);

// `path` with its extension, if any, replaced by `extension`; empty when
// `path` is.
std::string withExtension(const std::string& path, const std::string& extension);

} // namespace plexor
