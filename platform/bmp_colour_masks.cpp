#include "platform/bmp_colour_masks.h"

#include "platform/colour_mask.h"
#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

void ReadBmpColourMasks(std::span<const std::uint8_t> file, const BmpInfoHeader& header, std::size_t& cursor,
                        PixelFormat& format)
{
    if (header.Compression == kBmpRgb) {
        DefaultMasks(format.BitsPerPixel, format.RedMask, format.GreenMask, format.BlueMask);
        format.AlphaMask = 0;
        format.UsesBitfields = false;
        return;
    }
    const bool withAlpha = header.Compression == kBmpAlphaBitfields;
    const std::size_t inHeader = header.HasAlphaMask() ? 4 : header.HasRgbMasks() ? 3 : 0;
    const std::size_t wanted = withAlpha ? 4 : 3;
    std::uint32_t masks[4] = {header.RedMask, header.GreenMask, header.BlueMask, header.AlphaMask};
    if (wanted > inHeader) {
        const std::size_t extra = (wanted - inHeader) * 4;
        if (cursor > file.size() || file.size() - cursor < extra) ThrowReadError();
        for (std::size_t i = inHeader; i < wanted; ++i, cursor += 4) masks[i] = LoadU32(file.data() + cursor);
    }
    if (!AreValidMasks(masks[0], masks[1], masks[2], masks[3], format.BitsPerPixel)) ThrowBitmapInvalid();
    format.RedMask = masks[0];
    format.GreenMask = masks[1];
    format.BlueMask = masks[2];
    format.AlphaMask = masks[3];
    format.UsesBitfields = true;
}

bool HasCustomMasks(const PixelFormat& format) noexcept
{
    std::uint32_t red = 0, green = 0, blue = 0;
    DefaultMasks(format.BitsPerPixel, red, green, blue);
    return format.RedMask != red || format.GreenMask != green || format.BlueMask != blue;
}

} // namespace plexor
