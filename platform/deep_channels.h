#pragma once

// Channels of more than 8 bits: a 16-bit value is kept as its high byte, in
// the picture's bitmap, and its low byte, in a plane beside it. Values of
// fewer bits are widened to 16 by repeating their top bits below them, so
// that shifting back gives the value again.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/byte_buffer.h"
#include "platform/picture.h"

namespace plexor {

// `value` of `bits` bits (8 to 16) as 16 bits: 10 bits x become
// x << 6 | x >> 4, 12 bits x << 4 | x >> 8, 8 bits x << 8 | x.
constexpr std::uint16_t widenedTo16Bits(std::uint32_t value, int bits) noexcept
{
    return static_cast<std::uint16_t>(value << (16 - bits) | value >> (2 * bits - 16));
}

// A 16-bit value as `bits` bits (8 to 16): its top bits.
constexpr std::uint16_t narrowedFrom16Bits(std::uint32_t value, int bits) noexcept
{
    return static_cast<std::uint16_t>(value >> (16 - bits));
}

// A 16-bit value as the nearest 8-bit one.
constexpr std::uint8_t roundedTo8Bits(std::uint32_t value) noexcept
{
    return static_cast<std::uint8_t>((value * 255 + 32767) / 65535);
}

// Whether the planes hold what the bitmap's size asks of them: an alpha
// and a low alpha of a byte a pixel or none, low bytes of 3 a pixel or
// none, a low alpha only beside low bytes and an alpha, low bytes only
// beside a 24-bit bitmap, and a depth of 8, 10, 12 or 16.
bool planesFit(const PicturePlanes& picture) noexcept;

// The picture at 8 bits a channel, each value the nearest to its 16-bit
// one: a 24-bit bitmap and its alpha. The planes must fit.
Picture roundedTo8Bits(const PicturePlanes& picture);

// A plane of `bytesPerPixel` bytes a pixel, width x height, rows top to
// bottom without gaps, made `newWidth` pixels wide: each row keeps its
// first pixels, and new ones are 0 (black, or transparent).
ByteBuffer planeWithWidth(std::span<const std::uint8_t> plane, std::int32_t width, std::int32_t height,
                          std::size_t bytesPerPixel, std::int32_t newWidth);

} // namespace plexor
