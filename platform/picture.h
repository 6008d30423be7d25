#pragma once

#include <cstdint>
#include <string>

#include "platform/bitmap.h"

namespace plexor {

// No picture file the program reads is larger: a bitmap file of the largest
// picture at 32 bits a pixel, with room for headers and gaps.
inline constexpr std::uint64_t kMaxPictureFileBytes = kMaxBitmapPixels * 4 + (std::uint64_t{16} << 20);

// A picture loaded from a file: a bitmap, or an icon or metafile, which are
// recognised but not drawn and so hold no pixels.
class Picture {
public:
    Picture() = default;

    // Loads the file with the reader its extension names, compared without
    // case: "bmp" a bitmap, "ico" an icon, "wmf" and "emf" a metafile. Throws
    // PictureError on failure, and the picture then keeps what it held.
    void loadFromFile(const std::string& path);

    // A new picture loaded from `path`, for callers that replace what they
    // show only once a load has succeeded.
    static Picture fromFile(const std::string& path);

    // A bitmap file read with the bitmap reader, whatever its name.
    static Picture fromBmpFile(const std::string& path);

    // A picture of `bitmap`.
    static Picture fromBitmap(Bitmap bitmap);

    // The content as a bitmap. Content of another kind is first replaced by
    // an empty bitmap.
    Bitmap& bitmap();
    bool holdsBitmap() const noexcept { return kind_ == Kind::Bitmap; }

    // Writes the bitmap as a bitmap file, whatever extension `path` has,
    // replacing any file of that name in one step. Throws PictureError.
    void saveToFile(const std::string& path) const;

    void swap(Picture& other) noexcept;

private:
    enum class Kind { Bitmap, Icon, Metafile };

    Kind kind_ = Kind::Bitmap;
    Bitmap bitmap_;
};

// The extension of the file name in `path` as written, without its dot;
// empty when the name has none.
std::string pictureFileExtension(const std::string& path);

// `path` with its extension, if any, replaced by `extension`; empty when
// `path` is.
std::string withExtension(const std::string& path, const std::string& extension);

} // namespace plexor
