#include "editor/zoom.h"

#include <vector>

#include <gtest/gtest.h>

#include "editor/drag.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

TEST(Zoom, TheLadderRunsFromASixteenthToSixteen)
{
    std::vector<Zoom> up{Zoom{1, 16}};
    while (!(up.back() == Zoom{16, 1})) up.push_back(nextZoomIn(up.back()));
    const std::vector<Zoom> expected{{1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4}, {1, 3},  {1, 2}, {1, 1},
                                     {2, 1},  {3, 1},  {4, 1}, {6, 1}, {8, 1}, {12, 1}, {16, 1}};
    EXPECT_EQ(up, expected);
    EXPECT_EQ(nextZoomIn(Zoom{16, 1}), (Zoom{16, 1}));
    EXPECT_EQ(nextZoomOut(Zoom{1, 16}), (Zoom{1, 16}));
    // From a zoom between two steps, the next one each way.
    EXPECT_EQ(nextZoomIn(Zoom{1800, 8192}), (Zoom{1, 4}));
    EXPECT_EQ(nextZoomOut(Zoom{1800, 8192}), (Zoom{1, 6}));
    EXPECT_EQ(Zoom(Zoom{1800, 8192}).percent(), 22);
}

TEST(Zoom, ScreenAndPicturePositionsMapBothWays)
{
    // At full size the mapping is the identity, negative positions included.
    for (std::int64_t v : {-7, -1, 0, 1, 517}) {
        EXPECT_EQ(Zoom::actual().toScreen(v), v);
        EXPECT_EQ(Zoom::actual().toPicture(v), v);
    }
    // Enlarged 3 times: picture pixel 5 is screen pixels 15 to 17.
    const Zoom three{3, 1};
    EXPECT_EQ(three.toScreen(5), 15);
    EXPECT_EQ(three.toPicture(17), 5);
    EXPECT_EQ(three.toPicture(-1), -1);
    EXPECT_EQ(three.screenLength(10), 30);
    // Reduced to 2/5: every picture pixel falls on one screen pixel, and the
    // reduced picture is just long enough for the last one.
    const Zoom reduced{2, 5};
    EXPECT_EQ(reduced.toScreen(4), 1);
    EXPECT_EQ(reduced.toScreen(5), 2);
    EXPECT_EQ(reduced.firstPictureAtOrAfter(1), 3);
    EXPECT_EQ(reduced.screenLength(11), 5);
    EXPECT_EQ(reduced.screenLength(1200), 480);
    EXPECT_EQ(Zoom(Zoom{751, 1600}).screenLength(1200), 563) << "no screen row without a picture row";
}

TEST(Zoom, FitKeepsTheWholePictureInTheViewport)
{
    // 45 megapixels: the width decides in a 1800 x 1300 viewport, the height
    // in an 1800 x 1000 one.
    EXPECT_EQ(fitZoom(8192, 5464, 1800, 1300), (Zoom{225, 1024}));
    const Zoom fit = fitZoom(8192, 5464, 1800, 1000);
    EXPECT_LE(fit.screenLength(5464), 1000);
    EXPECT_LE(fit.screenLength(8192), 1800);
    // A small picture is enlarged by a whole number, at most 16 times.
    EXPECT_EQ(fitZoom(100, 50, 350, 400), (Zoom{3, 1}));
    EXPECT_EQ(fitZoom(10, 10, 4000, 4000), (Zoom{16, 1}));
    EXPECT_EQ(fitZoom(60000, 100, 100, 100), (Zoom{1, 16})) << "never below the ladder";
}

TEST(Zoom, ZoomingAboutThePointerKeepsItsPicturePixel)
{
    // The pointer 300 pixels into the viewport, scrolled by 1000 at 1/2:
    // picture pixel 2600 is under it, and stays so at 2 and at 1/4.
    const Zoom half{1, 2};
    for (const Zoom after : {Zoom{2, 1}, Zoom{1, 4}, Zoom{1, 1}}) {
        const std::int64_t scroll = scrollKeeping(1000, 300, half, after);
        EXPECT_EQ(after.toPicture(scroll + 300), 2600);
    }
}

// A press picks within 4 screen pixels, whatever the zoom; the drag then
// follows the pointer in picture pixels.
TEST(Zoom, APressReachesFourScreenPixelsAtAnyZoom)
{
    for (const Zoom zoom : {Zoom{1, 1}, Zoom{1, 3}, Zoom{4, 1}}) {
        TestModel model;
        loadPictureWithGrid(model, 240, 240, 48);
        RecordingDragHost host(model);
        ControlPointDrag drag(model.grid, model.picture, model.work.changes());
        drag.setZoom(zoom);
        // Point (2, 2) at (96, 96) shows at screen position s.
        const std::int32_t s = static_cast<std::int32_t>(zoom.toScreen(96));
        host.press(drag, s + 5, s);
        EXPECT_FALSE(drag.dragging()) << zoom.num << "/" << zoom.den;
        host.release(drag);
        host.press(drag, s + 4, s - 4);
        ASSERT_TRUE(drag.dragging()) << zoom.num << "/" << zoom.den;
        EXPECT_EQ(drag.dragIndex(), 2 + 2 * model.grid.shape().pointCols);
        EXPECT_EQ(drag.dragOffsetX(), zoom.toPicture(s + 4) - 96);
        // Twelve screen pixels right: the point moves by what they are in
        // picture pixels.
        host.move(drag, s + 16, s - 4);
        EXPECT_EQ(model.grid.point(2, 2).dx, zoom.toPicture(s + 16) - zoom.toPicture(s + 4));
        host.release(drag);
    }
}

} // namespace
} // namespace plexor::test
