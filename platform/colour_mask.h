#pragma once

#include <cstdint>

namespace plexor {

// One channel of a direct-colour pixel: a single run of set bits. Values are
// scaled between the run's width and 8 bits with rounding, so that the
// brightest value of any width is 255 and 255 is the brightest value.
struct ChannelMask {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    static ChannelMask from(std::uint32_t mask) noexcept;

    std::uint64_t maxValue() const noexcept { return (std::uint64_t{1} << bits) - 1; }

    // The channel of `pixel` as 0..255; an empty channel reads as 0.
    std::uint8_t toByte(std::uint32_t pixel) const noexcept
    {
        if (bits == 0) return 0;
        const std::uint64_t max = maxValue();
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
    }

    // `byte` scaled to the channel's width and moved to its place.
    std::uint32_t fromByte(std::uint8_t byte) const noexcept
    {
        const std::uint64_t value = (byte * maxValue() + 127) / 255;
        return static_cast<std::uint32_t>(value << shift);
    }
};

// A mask is one run of set bits (and not 0).
bool isContiguousMask(std::uint32_t mask) noexcept;

// Red, green and blue each one run of bits, alpha empty or one run, none
// overlapping another, all inside a pixel of `bitsPerPixel` bits.
bool areValidMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha,
                   std::uint32_t bitsPerPixel) noexcept;

} // namespace plexor
