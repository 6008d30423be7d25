#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace plexor {

// What the screen shows for a picture's pixels: the colours of the
// picture's own colour space in the screen's sRGB, and transparent parts
// over a light checkerboard. The picture's buffers keep their values; only
// what is shown is converted, a row at a time, as it is painted.
//
// The colour conversion is a table of kGridSide^3 colours sampled from the
// exact transform (the window fills it from the picture's profile),
// interpolated between its nearest four points. The screen needs no more,
// and a full transform per pixel is far too slow to follow a drag.
class ScreenColours {
public:
    static constexpr int kGridSide = 33;
    // A sampled colour: its 0xRRGGBB in sRGB, for picture colour (r, g, b)
    // at grid point (r, g, b) * 255 / (kGridSide - 1).
    using Sample = std::uint32_t;

    // No conversion and no transparency: rows pass through as they are.
    ScreenColours() = default;

    // Converts through `samples`, kGridSide^3 of them, red slowest and blue
    // fastest.
    void setSamples(std::vector<Sample> samples);
    void clearSamples() { samples_.clear(); }
    bool converts() const noexcept { return !samples_.empty(); }

    // Pixels x0 <= x < x1 of picture row y: from `bgr`, 3 bytes a pixel
    // starting with pixel x0, and `alpha`, a byte a pixel from x0 or nullptr
    // when the picture is opaque, to 0xFFRRGGBB words in `out`. Allocates
    // nothing.
    void convertRow(const std::uint8_t* bgr, const std::uint8_t* alpha, std::int32_t x0, std::int32_t x1,
                    std::int32_t y, std::uint32_t* out) const noexcept;

    // The checkerboard's colour at picture position (x, y): squares of
    // kCheckSize pixels, alternately kCheckLight and kCheckDark.
    static constexpr std::int32_t kCheckSize = 8;
    static constexpr std::uint32_t kCheckLight = 0xFFFFFF;
    static constexpr std::uint32_t kCheckDark = 0xCCCCCC;
    static std::uint32_t checkerAt(std::int32_t x, std::int32_t y) noexcept
    {
        return ((x / kCheckSize + y / kCheckSize) & 1) != 0 ? kCheckDark : kCheckLight;
    }

private:
    template <bool kTable, bool kAlpha>
    void convertRowAs(const std::uint8_t* bgr, const std::uint8_t* alpha, std::int32_t x0, std::int32_t x1,
                      std::int32_t y, std::uint32_t* out) const noexcept;
    std::uint32_t convert(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const noexcept;

    std::vector<Sample> samples_;
    // For each 8-bit value: the grid cell below it and the fraction of the
    // way to the next, in 256ths.
    std::array<std::uint8_t, 256> cell_{};
    std::array<std::uint16_t, 256> fraction_{};
};

} // namespace plexor
