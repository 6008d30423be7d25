#pragma once

#include <cstdint>

namespace plexor {

// One channel of a direct-colour pixel: a single run of set bits. Values are
// scaled between the run's width and 8 bits with rounding, so that the
// brightest value of any width is 255 and 255 is the brightest value.
struct ChannelMask {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    static ChannelMask From(std::uint32_t mask) noexcept;

    std::uint64_t MaxValue() const noexcept { return (std::uint64_t{1} << Bits) - 1; }

    // The channel of `pixel` as 0..255; an empty channel reads as 0.
    std::uint8_t ToByte(std::uint32_t pixel) const noexcept
    {
        if (Bits == 0) return 0;
        const std::uint64_t max = MaxValue();
        const std::uint64_t value = (pixel & Mask) >> Shift;
        return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
    }

    // `byte` scaled to the channel's width and moved to its place.
    std::uint32_t FromByte(std::uint8_t byte) const noexcept
    {
        const std::uint64_t value = (byte * MaxValue() + 127) / 255;
        return static_cast<std::uint32_t>(value << Shift);
    }
};

// A mask is one run of set bits (and not 0).
bool IsContiguousMask(std::uint32_t mask) noexcept;

// Red, green and blue each one run of bits, alpha empty or one run, none
// overlapping another, all inside a pixel of `bitsPerPixel` bits.
bool AreValidMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha,
                   std::uint32_t bitsPerPixel) noexcept;

} // namespace plexor
