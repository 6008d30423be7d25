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

TEST(NoAllocation, RefreshingAndDraggingAllocateNothing)
{
    DeformModel model;
    LoadPictureWithGrid(model, 480, 360, 48);
    model.Point(3, 3).DX = 17; // a vector to draw
    ScreenWindow window(model);
    ControlPointDrag drag(model, window);
    {
        AllocationCount count;
        Refresh(model, window);
        drag.ImageMouseDown(240, 204); // picks (5, 4) at (240, 204)
        drag.ImageMouseMove(250, 190); // within a step
        drag.ImageMouseMove(180, 204); // hands over to (4, 4) at (192, 204)
        drag.ImageMouseMove(190, 210); // within a step of it
        drag.ImageMouseUp(190, 210);
        EXPECT_EQ(count.Seen(), 0);
    }
    // What ran is what the test meant to run.
    EXPECT_EQ(window.pushedRows, 6 * 360) << "every refresh pushed the whole view";
    EXPECT_EQ(window.queued, 2);
    EXPECT_EQ(model.Point(5, 4).DX, 10);
    EXPECT_EQ(model.Point(5, 4).DY, -14);
    EXPECT_EQ(model.Point(4, 4).DX, -2);
    EXPECT_EQ(model.Point(4, 4).DY, 6);
}

TEST(NoAllocation, TheCounterSeesAllocations)
{
    static int* volatile sink = nullptr;
    AllocationCount count;
    sink = new int(3);
    delete sink;
    EXPECT_EQ(count.Seen(), 1);
}

} // namespace
} // namespace plexor::test
