// Refreshing and moving a point run on every mouse move of a drag: neither
// may allocate.

#include <gtest/gtest.h>

#include "editor/drag.h"
#include "editor/refresh.h"
#include "editor_fixture.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"
#include "tests/support/allocation_control.h"
#include "tests/support/screen_window.h"

namespace plexor::test {
namespace {

// At full size and reduced to a third, shown in a window of 200 x 150.
class NoAllocation : public ::testing::TestWithParam<bool> {};

TEST_P(NoAllocation, RefreshingAndDraggingAllocateNothing)
{
    const bool reduced = GetParam();
    const Zoom zoom = reduced ? Zoom{1, 3} : Zoom::actual();
    TestModel model;
    loadPictureWithGrid(model, 480, 360, 48);
    model.displace(3, 3, 17, model.grid.point(3, 3).dy); // a vector to draw
    model.work.changes().markAll();
    ScreenWindow window(model);
    window.showReduced = reduced;
    window.reducedView.setWindow(zoom, PixelRect{0, 0, 200, 150}, 480, 360);
    refreshPart(model.picture, model.grid, model.work, &window.reducedView, true, nullptr,
                window.reducedView.shownPart());
    ControlPointDrag drag(model.grid, model.picture, model.work.changes());
    drag.setZoom(zoom);
    const auto at = [zoom](std::int32_t v) { return static_cast<std::int32_t>(zoom.toScreen(v)); };
    {
        AllocationCount count;
        window.refresh();                     // the whole picture, as after the grid command
        window.press(drag, at(240), at(204)); // picks (5, 4) at (240, 204)
        window.move(drag, at(250), at(190));  // within a step
        window.move(drag, at(180), at(204));  // hands over to (4, 4) at (192, 204)
        window.move(drag, at(190), at(210));  // within a step of it
        window.release(drag);
        model.work.changes().mark(PixelRect{0, 0, 480, 360}); // a batch that touched everything
        window.refresh();
        EXPECT_EQ(count.seen(), 0);
    }
    // What ran is what the test meant to run.
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.queued, 2) << "a hand-over and the release";
    EXPECT_NE(model.grid.point(5, 4).dx, 0);
    EXPECT_NE(model.grid.point(4, 4).dy, 0);
}

INSTANTIATE_TEST_SUITE_P(FullSizeAndReduced, NoAllocation, ::testing::Bool());

TEST(AllocationCount, SeesAllocations)
{
    static int* volatile sink = nullptr;
    AllocationCount count;
    sink = new int(3);
    delete sink;
    EXPECT_EQ(count.seen(), 1);
}

} // namespace
} // namespace plexor::test
