#include "platform/pixel_format.h"

#include <utility>

#include "platform/colour_mask.h"

namespace plexor {

PixelFormat PixelFormat::rgb24()
{
    return PixelFormat{};
}

PixelFormat PixelFormat::defaultMasked(std::uint16_t bitsPerPixel)
{
    PixelFormat format;
    format.bitsPerPixel = bitsPerPixel;
    defaultMasks(bitsPerPixel, format.redMask, format.greenMask, format.blueMask);
    return format;
}

PixelFormat PixelFormat::indexed(std::uint16_t bitsPerPixel, std::vector<Colour> table)
{
    PixelFormat format;
    format.bitsPerPixel = bitsPerPixel;
    format.colourTable = std::move(table);
    return format;
}

bool isSupportedBitCount(std::uint32_t bitsPerPixel) noexcept
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

void defaultMasks(std::uint16_t bitsPerPixel, std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) noexcept
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

bool isValidFormat(const PixelFormat& format) noexcept
{
    if (!isSupportedBitCount(format.bitsPerPixel)) return false;
    if (format.indexed()) return format.colourTable.size() <= (std::size_t{1} << format.bitsPerPixel);
    if (!format.colourTable.empty()) return false;
    if (format.masked())
        return areValidMasks(format.redMask, format.greenMask, format.blueMask, format.alphaMask, format.bitsPerPixel);
    return true;
}

} // namespace plexor
