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
    DeformModel model;
    loadPictureWithGrid(model, 480, 360, 48);
    model.point(3, 3).dx = 17; // a vector to draw
    model.changes().markAll();
    ScreenWindow window(model);
    window.showReduced = reduced;
    window.reducedView.setWindow(zoom, PixelRect{0, 0, 200, 150}, 480, 360);
    window.reducedView.render(model, true);
    ControlPointDrag drag(model, window);
    drag.setZoom(zoom);
    const auto at = [zoom](std::int32_t v) { return static_cast<std::int32_t>(zoom.toScreen(v)); };
    {
        AllocationCount count;
        refresh(model, window);            // the whole picture, as after the grid command
        drag.mousePress(at(240), at(204)); // picks (5, 4) at (240, 204)
        drag.mouseMove(at(250), at(190));  // within a step
        drag.mouseMove(at(180), at(204));  // hands over to (4, 4) at (192, 204)
        drag.mouseMove(at(190), at(210));  // within a step of it
        drag.mouseRelease(at(190), at(210));
        model.changes().mark(PixelRect{0, 0, 480, 360}); // a batch that touched everything
        refresh(model, window);
        EXPECT_EQ(count.seen(), 0);
    }
    // What ran is what the test meant to run.
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.queued, 2) << "a hand-over and the release";
    EXPECT_NE(model.point(5, 4).dx, 0);
    EXPECT_NE(model.point(4, 4).dy, 0);
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
