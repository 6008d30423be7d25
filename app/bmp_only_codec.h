#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/image_codec.h"
#include "platform/picture_error.h"

namespace plexor {

// Reads and writes no format of its own: BMP files alone are read and written.
class BmpOnlyCodec final : public ImageCodec {
public:
    // Provided, so that a const member of this type needs no initializer:
    // clang asks for one otherwise, for a class with virtual functions.
    BmpOnlyCodec() noexcept {}
    bool canRead(PictureFormat) const override { return false; }
    bool canWrite(PictureFormat) const override { return false; }
    Picture decode(std::span<const std::uint8_t>, PictureFormat format) const override
    {
        throw PictureError(formatPictureMessage(picture_message::kFormatNotRead, pictureFormatName(format)));
    }
    std::vector<std::uint8_t> encode(const PicturePlanes&, PictureFormat format, const PictureMetadata&,
                                     std::optional<int>) const override
    {
        throw PictureError(formatPictureMessage(picture_message::kFormatNotWritten, pictureFormatName(format)));
    }
};

} // namespace plexor
