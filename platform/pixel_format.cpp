#include "platform/pixel_format.h"

#include <utility>

#include "platform/colour_mask.h"

namespace plexor {

PixelFormat PixelFormat::Rgb24()
{
    return PixelFormat{};
}

PixelFormat PixelFormat::DefaultMasked(std::uint16_t bitsPerPixel)
{
    PixelFormat format;
    format.BitsPerPixel = bitsPerPixel;
    DefaultMasks(bitsPerPixel, format.RedMask, format.GreenMask, format.BlueMask);
    return format;
}

PixelFormat PixelFormat::Indexed(std::uint16_t bitsPerPixel, std::vector<RgbQuad> table)
{
    PixelFormat format;
    format.BitsPerPixel = bitsPerPixel;
    format.ColourTable = std::move(table);
    return format;
}

bool IsSupportedBitCount(std::uint32_t bitsPerPixel) noexcept
{
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

void DefaultMasks(std::uint16_t bitsPerPixel, std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) noexcept
{
    if (bitsPerPixel == 16) {
        red = 0x7C00;
        green = 0x03E0;
        blue = 0x001F;
    } else {
        red = 0x00FF0000;
        green = 0x0000FF00;
        blue = 0x000000FF;
    }
}

bool IsValidFormat(const PixelFormat& format) noexcept
{
    if (!IsSupportedBitCount(format.BitsPerPixel)) return false;
    if (format.Indexed()) return format.ColourTable.size() <= (std::size_t{1} << format.BitsPerPixel);
    if (!format.ColourTable.empty()) return false;
    if (format.Masked())
        return AreValidMasks(format.RedMask, format.GreenMask, format.BlueMask, format.AlphaMask, format.BitsPerPixel);
    return true;
}

} // namespace plexor
