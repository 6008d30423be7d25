#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace plexor {
class Bitmap;
class Picture;
} // namespace plexor

namespace plexor::test {

// A colour by its channels; pixel buffers store them blue first.
struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// Pixel (x, y) of a 24-bit buffer `width` pixels wide, rows without gaps.
inline Rgb pixelAt(const std::uint8_t* pixels, std::int32_t width, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = pixels + 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x);
    return {p[2], p[1], p[0]};
}
inline void setPixel(std::uint8_t* pixels, std::int32_t width, std::int32_t x, std::int32_t y, Rgb colour)
{
    std::uint8_t* p = pixels + 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x);
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
}

// A picture whose every pixel differs from its neighbours.
inline Rgb pattern(std::int32_t x, std::int32_t y)
{
    return Rgb{static_cast<std::uint8_t>(x ^ y), static_cast<std::uint8_t>(y * 5 + x * 3),
               static_cast<std::uint8_t>(x * 7 + y)};
}

// A picture as 24-bit rows from the top, 3 bytes a pixel (blue, green, red),
// no padding.
struct Pixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgr;

    Rgb at(std::int32_t x, std::int32_t y) const { return pixelAt(bgr.data(), width, x, y); }
    bool operator==(const Pixels&) const = default;
};

// The bitmap's pixels as 24 bits, read with copyRowsFromBitmap; fails the test when
// the transfer does.
Pixels toPixels(const Bitmap& bitmap);

// A picture's channels at 16 bits, pixel after pixel from the top: red,
// green, blue and alpha (65535 where it has none), each the bitmap's or
// alpha's byte shifted up 8 beside its low byte (the same byte again where
// the picture has no low bytes).
std::vector<std::uint16_t> channels16(const Picture& picture);

} // namespace plexor::test
