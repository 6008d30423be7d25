#include "platform/bmp_colour_masks.h"

#include "platform/colour_mask.h"
#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

void readBmpColourMasks(std::span<const std::uint8_t> file, const DibHeader& header, std::size_t& cursor,
                        PixelFormat& format)
{
    if (header.compression == kBmpRgb) {
        defaultMasks(format.bitsPerPixel, format.redMask, format.greenMask, format.blueMask);
        format.alphaMask = 0;
        format.usesBitfields = false;
        return;
    }
    const bool withAlpha = header.compression == kBmpAlphaBitfields;
    const std::size_t inHeader = header.hasAlphaMask() ? 4 : header.hasRgbMasks() ? 3 : 0;
    const std::size_t wanted = withAlpha ? 4 : 3;
    std::uint32_t masks[4] = {header.masks[0], header.masks[1], header.masks[2], header.masks[3]};
    if (wanted > inHeader) {
        const std::size_t extra = (wanted - inHeader) * 4;
        if (cursor > file.size() || file.size() - cursor < extra) throwReadError();
        for (std::size_t i = inHeader; i < wanted; ++i, cursor += 4) masks[i] = loadU32(file.data() + cursor);
    }
    if (!areValidMasks(masks[0], masks[1], masks[2], masks[3], format.bitsPerPixel)) throwBitmapInvalid();
    format.redMask = masks[0];
    format.greenMask = masks[1];
    format.blueMask = masks[2];
    format.alphaMask = masks[3];
    format.usesBitfields = true;
}

bool hasCustomMasks(const PixelFormat& format) noexcept
{
    std::uint32_t red = 0, green = 0, blue = 0;
    defaultMasks(format.bitsPerPixel, red, green, blue);
    return format.redMask != red || format.greenMask != green || format.blueMask != blue;
}

} // namespace plexor
