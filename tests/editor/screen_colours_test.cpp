#include "editor/screen_colours.h"

#include <gtest/gtest.h>

namespace plexor::test {
namespace {

constexpr int kSide = ScreenColours::kGridSide;

// The table of a conversion that `f` makes of each colour 0xRRGGBB.
template <class F>
ScreenColours sampled(F f)
{
    std::vector<ScreenColours::Sample> samples;
    for (int r = 0; r < kSide; ++r)
        for (int g = 0; g < kSide; ++g)
            for (int b = 0; b < kSide; ++b) {
                const auto level = [](int i) { return static_cast<std::uint32_t>(i * 255 / (kSide - 1)); };
                samples.push_back(f(level(r), level(g), level(b)));
            }
    ScreenColours colours;
    colours.setSamples(std::move(samples));
    return colours;
}

std::uint32_t shown(const ScreenColours& colours, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                    const std::uint8_t* alpha = nullptr, std::int32_t x = 0)
{
    const std::uint8_t bgr[3] = {blue, green, red};
    std::uint32_t out = 0;
    colours.convertRow(bgr, alpha, x, x + 1, 0, &out);
    return out;
}

TEST(ScreenColours, ConversionsFollowTheirTableAndTransparencyShowsTheCheckerboard)
{
    const ScreenColours none;
    EXPECT_EQ(shown(none, 12, 34, 56), 0xFF0C2238u) << "without a table colours pass as they are";

    // A linear table is interpolated exactly; an identity one to within one.
    const ScreenColours swapped =
        sampled([](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return b << 16 | g << 8 | r; });
    const ScreenColours halved =
        sampled([](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r / 2) << 16 | (g / 2) << 8 | b / 2; });
    for (int v = 0; v < 256; v += 5) {
        const auto c = static_cast<std::uint8_t>(v);
        const auto d = static_cast<std::uint8_t>(255 - v);
        const std::uint32_t s = shown(swapped, c, 128, d);
        EXPECT_LE(std::abs(int(s >> 16 & 0xFF) - (255 - v)), 1) << v;
        EXPECT_LE(std::abs(int(s & 0xFF) - v), 1) << v;
        EXPECT_LE(std::abs(int(shown(halved, c, c, c) & 0xFF) - v / 2), 1) << v;
    }
    EXPECT_EQ(shown(swapped, 255, 0, 0), 0xFF0000FFu) << "the grid's own points are exact";

    // Transparent shows the checkerboard, opaque the colour, half between.
    const std::uint8_t clear = 0, opaque = 255, half = 128;
    EXPECT_EQ(shown(none, 0, 0, 0, &clear, 0), 0xFF000000u | ScreenColours::kCheckLight);
    EXPECT_EQ(shown(none, 0, 0, 0, &clear, ScreenColours::kCheckSize), 0xFF000000u | ScreenColours::kCheckDark);
    EXPECT_EQ(shown(none, 10, 20, 30, &opaque), 0xFF0A141Eu);
    EXPECT_EQ(shown(none, 0, 0, 0, &half), 0xFF7F7F7Fu);
}

} // namespace
} // namespace plexor::test
