#include "editor/screen_colours.h"

#include <cassert>
#include <utility>

namespace plexor {
namespace {

constexpr int kSide = ScreenColours::kGridSide;

std::uint32_t channel(std::uint32_t colour, int shift) noexcept
{
    return (colour >> shift) & 0xFF;
}

// x / 255, rounded, for x up to 255 * 255.
std::uint32_t divide255(std::uint32_t x) noexcept
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

} // namespace

void ScreenColours::setSamples(std::vector<Sample> samples)
{
    assert(samples.size() == static_cast<std::size_t>(kSide) * kSide * kSide);
    samples_ = std::move(samples);
    for (int v = 0; v < 256; ++v) {
        const int t = v * (kSide - 1);
        int cell = t / 255;
        int fraction = (t % 255) * 256 / 255;
        if (cell == kSide - 1) {
            cell = kSide - 2;
            fraction = 256;
        }
        cell_[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(cell);
        fraction_[static_cast<std::size_t>(v)] = static_cast<std::uint16_t>(fraction);
    }
}

std::uint32_t ScreenColours::convert(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const noexcept
{
    const std::uint32_t fr = fraction_[red], fg = fraction_[green], fb = fraction_[blue];
    const Sample* c000 = &samples_[(static_cast<std::size_t>(cell_[red]) * kSide + cell_[green]) * kSide + cell_[blue]];
    constexpr std::size_t kR = kSide * kSide, kG = kSide, kB = 1;
    // The tetrahedron of the cube's corners that holds the colour: from the
    // near corner to the far one along the channels in falling order.
    std::size_t first, second;
    std::uint32_t w0, w1, w2, w3;
    if (fr >= fg) {
        if (fg >= fb) {
            first = kR, second = kR + kG, w0 = 256 - fr, w1 = fr - fg, w2 = fg - fb, w3 = fb;
        } else if (fr >= fb) {
            first = kR, second = kR + kB, w0 = 256 - fr, w1 = fr - fb, w2 = fb - fg, w3 = fg;
        } else {
            first = kB, second = kR + kB, w0 = 256 - fb, w1 = fb - fr, w2 = fr - fg, w3 = fg;
        }
    } else if (fr >= fb) {
        first = kG, second = kR + kG, w0 = 256 - fg, w1 = fg - fr, w2 = fr - fb, w3 = fb;
    } else if (fg >= fb) {
        first = kG, second = kG + kB, w0 = 256 - fg, w1 = fg - fb, w2 = fb - fr, w3 = fr;
    } else {
        first = kB, second = kG + kB, w0 = 256 - fb, w1 = fb - fg, w2 = fg - fr, w3 = fr;
    }
    const Sample a = c000[0], b = c000[first], c = c000[second], d = c000[kR + kG + kB];
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t sum =
            channel(a, shift) * w0 + channel(b, shift) * w1 + channel(c, shift) * w2 + channel(d, shift) * w3;
        out |= ((sum + 128) >> 8) << shift;
    }
    return out;
}

template <bool kTable, bool kAlpha>
void ScreenColours::convertRowAs(const std::uint8_t* bgr, const std::uint8_t* alpha, std::int32_t x0, std::int32_t x1,
                                 std::int32_t y, std::uint32_t* out) const noexcept
{
    for (std::int32_t x = x0; x < x1; ++x, bgr += 3, ++out) {
        const std::uint32_t colour = kTable ? convert(bgr[0], bgr[1], bgr[2])
                                            : std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
        if constexpr (!kAlpha) {
            *out = 0xFF000000 | colour;
        } else {
            const std::uint32_t a = *alpha++;
            const std::uint32_t back = checkerAt(x, y);
            std::uint32_t mixed = 0xFF000000;
            for (int shift = 0; shift <= 16; shift += 8)
                mixed |= divide255(channel(colour, shift) * a + channel(back, shift) * (255 - a)) << shift;
            *out = mixed;
        }
    }
}

void ScreenColours::convertRow(const std::uint8_t* bgr, const std::uint8_t* alpha, std::int32_t x0, std::int32_t x1,
                               std::int32_t y, std::uint32_t* out) const noexcept
{
    if (converts())
        alpha != nullptr ? convertRowAs<true, true>(bgr, alpha, x0, x1, y, out)
                         : convertRowAs<true, false>(bgr, alpha, x0, x1, y, out);
    else
        alpha != nullptr ? convertRowAs<false, true>(bgr, alpha, x0, x1, y, out)
                         : convertRowAs<false, false>(bgr, alpha, x0, x1, y, out);
}

} // namespace plexor
