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
    const Zoom zoom = reduced ? Zoom{1, 3} : Zoom::Actual();
    DeformModel model;
    LoadPictureWithGrid(model, 480, 360, 48);
    model.Point(3, 3).DX = 17; // a vector to draw
    model.Changes.MarkAll();
    ScreenWindow window(model);
    window.showReduced = reduced;
    window.reduced.SetWindow(zoom, PixelRect{0, 0, 200, 150}, 480, 360);
    window.reduced.Render(model, true);
    ControlPointDrag drag(model, window);
    drag.SetZoom(zoom);
    const auto at = [zoom](std::int32_t v) { return static_cast<std::int32_t>(zoom.ToScreen(v)); };
    {
        AllocationCount count;
        Refresh(model, window);                // the whole picture, as after the grid command
        drag.ImageMouseDown(at(240), at(204)); // picks (5, 4) at (240, 204)
        drag.ImageMouseMove(at(250), at(190)); // within a step
        drag.ImageMouseMove(at(180), at(204)); // hands over to (4, 4) at (192, 204)
        drag.ImageMouseMove(at(190), at(210)); // within a step of it
        drag.ImageMouseUp(at(190), at(210));
        model.Changes.Mark(PixelRect{0, 0, 480, 360}); // a batch that touched everything
        Refresh(model, window);
        EXPECT_EQ(count.Seen(), 0);
    }
    // What ran is what the test meant to run.
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.queued, 2) << "a hand-over and the release";
    EXPECT_NE(model.Point(5, 4).DX, 0);
    EXPECT_NE(model.Point(4, 4).DY, 0);
}

INSTANTIATE_TEST_SUITE_P(FullSizeAndReduced, NoAllocation, ::testing::Bool());

TEST(AllocationCount, SeesAllocations)
{
    static int* volatile sink = nullptr;
    AllocationCount count;
    sink = new int(3);
    delete sink;
    EXPECT_EQ(count.Seen(), 1);
}

} // namespace
} // namespace plexor::test
