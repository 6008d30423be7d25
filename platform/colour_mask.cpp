#include "platform/colour_mask.h"

#include <bit>

namespace plexor {

ChannelMask ChannelMask::from(std::uint32_t mask) noexcept
{
    ChannelMask channel;
    channel.mask = mask;
    if (mask != 0) {
        channel.shift = std::countr_zero(mask);
        channel.bits = std::popcount(mask);
    }
    return channel;
}

bool isContiguousMask(std::uint32_t mask) noexcept
{
    if (mask == 0) return false;
    const std::uint32_t low = mask >> std::countr_zero(mask);
    return (low & (low + 1)) == 0;
}

bool areValidMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha,
                   std::uint32_t bitsPerPixel) noexcept
{
    if (!isContiguousMask(red) || !isContiguousMask(green) || !isContiguousMask(blue)) return false;
    if (alpha != 0 && !isContiguousMask(alpha)) return false;
    if ((red & green) != 0 || (red & blue) != 0 || (green & blue) != 0) return false;
    if ((alpha & (red | green | blue)) != 0) return false;
    if (bitsPerPixel < 32) {
        const std::uint32_t outside = ~((std::uint32_t{1} << bitsPerPixel) - 1);
        if (((red | green | blue | alpha) & outside) != 0) return false;
    }
    return true;
}

} // namespace plexor
