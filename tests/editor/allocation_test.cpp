// Refreshing and moving a point run on every mouse move of a drag: neither
// may allocate.

#include <gtest/gtest.h>

#include "editor/drag.h"
#include "editor/refresh.h"
#include "editor_fixture.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"
#include "tests/support/allocation_control.h"

namespace plexor::test {
namespace {

// The window as the program has it: the view pushed into a 24-bit bitmap;
// queued cells only counted.
class Window : public RefreshHost, public DragHost {
public:
    explicit Window(DeformModel& m) : model(m), screen(m.ImageWidth, m.ImageHeight, PixelFormat::Rgb24())
    {
        format.bmiHeader.biWidth = m.ImageWidth;
        format.bmiHeader.biHeight = -m.ImageHeight;
    }
    bool OverlayVisible() const override { return true; }
    void PushView() override { pushed += SetDIBits(screen, 0, model.ImageHeight, model.ViewImage.data(), format); }
    void RepaintImage() override {}
    void Refresh() override { plexor::Refresh(model, *this); }
    void QueueCellsAround(std::int32_t, std::int32_t) override { ++queued; }
    void SetCapture() override {}
    void ReleaseCapture() override {}

    DeformModel& model;
    TBitmap screen;
    BitmapInfo format{};
    int pushed = 0;
    int queued = 0;
};

TEST(NoAllocation, RefreshingAndDraggingAllocateNothing)
{
    DeformModel model;
    LoadPictureWithGrid(model, 480, 360, 48);
    model.Point(3, 3).DX = 17; // a vector to draw
    Window window(model);
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
    EXPECT_EQ(window.pushed, 6 * 360) << "every refresh pushed the whole view";
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
