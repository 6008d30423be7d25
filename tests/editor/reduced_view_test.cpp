#include "editor/reduced_view.h"

#include <gtest/gtest.h>

#include "editor/overlay_palette.h"
#include "editor/refresh.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

Colour at(const ReducedView& view, std::int32_t x, std::int32_t y)
{
    const PixelRect& w = view.window();
    const std::uint8_t* p = view.pixels() + (y - w.y0) * view.stride() + 3 * (x - w.x0);
    return Colour{p[0], p[1], p[2]};
}

TEST(ReducedView, EachScreenPixelIsTheMeanOfThePixelsItCovers)
{
    // 3 x 3 blocks: one of a colour, one a fine checkerboard of black and
    // white, which must turn grey rather than either.
    TestModel model;
    loadPicture(model, 12, 6, [](std::int32_t x, std::int32_t y) {
        if (x < 3 && y < 3) return Rgb{10, 20, 30};
        if (x < 6 && y < 3) return (x + y) % 2 == 0 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
        return Rgb{static_cast<std::uint8_t>(x), 0, static_cast<std::uint8_t>(y)};
    });
    ReducedView view;
    view.setWindow(Zoom{1, 3}, PixelRect{0, 0, 100, 100}, 12, 6);
    EXPECT_EQ(view.window(), (PixelRect{0, 0, 4, 2}));
    refreshPart(model.picture, model.grid, model.work, &view, false, nullptr, view.shownPart());
    EXPECT_EQ(at(view, 0, 0), (Colour{30, 20, 10}));
    EXPECT_EQ(at(view, 1, 0), (Colour{113, 113, 113})) << "4 white of 9: 1020 / 9, rounded";
    EXPECT_EQ(at(view, 3, 1), (Colour{4, 0, 10})) << "columns 9 to 11, rows 3 to 5";

    // A window onto part of it holds the same pixels there.
    ReducedView part;
    part.setWindow(Zoom{1, 3}, PixelRect{1, 1, 3, 2}, 12, 6);
    refreshPart(model.picture, model.grid, model.work, &part, false, nullptr, part.shownPart());
    EXPECT_EQ(at(part, 2, 1), at(view, 2, 1));
}

TEST(ReducedView, TheOverlayKeepsItsSizeOnTheScreen)
{
    TestModel model;
    loadPictureWithGrid(model, 480, 480, 48);
    ReducedView view;
    const Zoom quarter{1, 4};
    view.setWindow(quarter, PixelRect{0, 0, 120, 120}, 480, 480);
    refreshPart(model.picture, model.grid, model.work, &view, true, nullptr, view.shownPart());
    // Point (2, 2) at (96, 96) shows at (24, 24): a marker of 4 x 4 screen
    // pixels from (23, 23), and dotted lines a pixel wide towards its
    // neighbours at 12 screen pixels.
    for (std::int32_t y = 23; y < 27; ++y)
        for (std::int32_t x = 23; x < 27; ++x) EXPECT_EQ(at(view, x, y), kMarkerColour) << x << ", " << y;
    EXPECT_EQ(at(view, 30, 24), kSegmentColour);
    EXPECT_EQ(at(view, 31, 24), kBackground) << "dotted";
    EXPECT_EQ(at(view, 30, 25), kBackground) << "one pixel wide";
}

} // namespace
} // namespace plexor::test
