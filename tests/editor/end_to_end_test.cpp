// One edit from file to screen, without a display: a picture file is read
// and opened as the window opens it, a grid is laid, a point is pressed,
// dragged across a hand-over and released, and a real worker deforms the
// queued cells and has the view refreshed into the screen bitmap. What the
// screen bitmap holds at the end must be the deformation computed directly
// in the plain, literal form of the cell's arithmetic, in the order the
// cells were queued, with the overlay drawn over it.

#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "editor/drag.h"
#include "editor/draw_overlay.h"
#include "editor/refresh.h"
#include "editor_fixture.h"
#include "engine/deform_cell_internal.h"
#include "engine/my_thread.h"
#include "platform/bitmap.h"
#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/dib_transfer.h"
#include "tests/support/screen_window.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

// A 98 x 75 24-bit picture file: not a multiple of 4 wide.
std::vector<std::uint8_t> PictureFile()
{
    TBitmap drawn(98, 75, PixelFormat::Rgb24());
    for (std::int32_t y = 0; y < drawn.Height(); ++y)
        for (std::int32_t x = 0; x < drawn.Width(); ++x) {
            const Rgb c = Pattern(x, y);
            std::uint8_t* p = drawn.Row(y) + 3 * x;
            p[0] = c.Blue;
            p[1] = c.Green;
            p[2] = c.Red;
        }
    return EncodeBmp(drawn);
}

BitmapInfo BufferFormat(const DeformModel& m)
{
    BitmapInfo info{};
    info.bmiHeader.biWidth = m.ImageWidth;
    info.bmiHeader.biHeight = -m.ImageHeight;
    return info;
}

// Opens the picture as the window does: widened with black columns to a
// multiple of 4, buffers for that size, a clear splat mask, the pixels read
// into WorkImage and copied into the other two.
void Open(DeformModel& m, TBitmap& screen)
{
    std::int32_t width = screen.Width();
    screen.SetBrushColour(0);
    if (const std::int32_t r = width % 4; r != 0) {
        width = width - r + 4;
        screen.SetWidth(width);
    }
    ASSERT_TRUE(m.AllocateBuffers(width, screen.Height()));
    const BitmapInfo format = BufferFormat(m);
    ASSERT_EQ(GetDIBits(screen, 0, m.ImageHeight, m.WorkImage.data(), format), m.ImageHeight);
    m.CopyPixels(m.WorkImage, m.ViewImage);
    m.CopyPixels(m.WorkImage, m.SourceImage);
}

struct Displacement {
    std::int32_t dx, dy;
};

// What a call of QueueCellsAround appended, and the displacements in force
// when it did.
struct Batch {
    std::vector<TCellRef> entries;
    std::vector<Displacement> points;
};

// The main window, with a worker for the cells a drag queues.
class Window : public ScreenWindow {
public:
    using ScreenWindow::ScreenWindow;

    void QueueCellsAround(std::int32_t c, std::int32_t r) override
    {
        // The worker takes nothing while the gate is held, so the entries
        // after `before` are exactly this call's.
        WorkerHold hold(model.Gate);
        const std::size_t before = model.CellQueue.Size();
        plexor::QueueCellsAround(model, *worker, c, r);
        const std::vector<TCellRef> all = model.CellQueue.Snapshot();
        Batch batch;
        batch.entries.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        for (const TControlPoint& p : model.ControlPoints) batch.points.push_back({p.DX, p.DY});
        batches.push_back(std::move(batch));
    }
    TMyThread* worker = nullptr;
    std::vector<Batch> batches;
};

TEST(EndToEnd, ADraggedPointReachesTheScreenAsTheWorkerDeformsIt)
{
    const std::vector<std::uint8_t> file = PictureFile();
    DeformModel model;
    TBitmap screen = ReadBmp(std::span<const std::uint8_t>(file));
    Open(model, screen);
    ASSERT_EQ(model.ImageWidth, 100);
    model.LayGrid(24); // points at x = 2, 26, 50, 74, 98 and y = 1, 25, 49, 73

    Window window(model);
    int workerRefreshes = 0;
    auto worker = std::make_unique<TMyThread>(model, [&] {
        window.Refresh();
        ++workerRefreshes;
    });
    window.worker = worker.get();
    ControlPointDrag drag(model, window);

    drag.ImageMouseDown(26 + 2, 25 - 1); // picks (1, 1), grabbed at (2, -1)
    ASSERT_TRUE(drag.Dragging());
    drag.ImageMouseMove(26 + 2 + 9, 25 - 1 + 5);  // (1, 1) displaced by (9, 5)
    drag.ImageMouseMove(26 + 2 + 30, 25 - 1 + 4); // hands over to (2, 1)
    ASSERT_EQ(drag.DragIndex(), 2 + 1 * model.PointCols());
    ASSERT_TRUE(ServeUntilIdle(*worker));
    ASSERT_EQ(workerRefreshes, 1);
    drag.ImageMouseMove(50 + 2 - 7, 25 - 1 + 6); // (2, 1) displaced by (-7, 6)
    drag.ImageMouseUp(0, 0);
    ASSERT_TRUE(ServeUntilIdle(*worker));
    EXPECT_EQ(workerRefreshes, 2);
    EXPECT_EQ(model.Point(1, 1).DX, 9);
    EXPECT_EQ(model.Point(2, 1).DY, 6);
    ASSERT_EQ(window.batches.size(), 2u);
    EXPECT_EQ(window.batches[0].entries.size(), 13u) << "12 cells around (2, 1), then the marker";
    EXPECT_EQ(window.batches[1].entries.size(), 13u) << "all of them again, since the first batch is done";
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.repaints, 1 + 3 + 1 + 2) << "press, moves, release and the worker's two batches";
    EXPECT_EQ(window.captures, 0) << "captured at the press, given back at the release";

    // The same edit computed directly.
    DeformModel expected;
    TBitmap again = ReadBmp(std::span<const std::uint8_t>(file));
    Open(expected, again);
    expected.LayGrid(24);
    for (const Batch& batch : window.batches) {
        for (std::size_t i = 0; i < batch.points.size(); ++i) {
            expected.ControlPoints[i].DX = batch.points[i].dx;
            expected.ControlPoints[i].DY = batch.points[i].dy;
        }
        for (const TCellRef& entry : batch.entries) {
            if (entry.IsRefreshMarker())
                std::memset(expected.SplatMask.data(), 0, expected.SplatMask.size());
            else
                DeformCellLiteral(expected, entry);
        }
    }
    ASSERT_EQ(0, std::memcmp(model.WorkImage.data(), expected.WorkImage.data(), model.WorkImage.size()))
        << "the worker's deformation";
    ASSERT_NE(0, std::memcmp(expected.WorkImage.data(), expected.SourceImage.data(), 3 * 100 * 75))
        << "the edit changed the picture";
    expected.CopyPixels(expected.WorkImage, expected.ViewImage);
    DrawOverlay(expected);

    std::vector<std::uint8_t> shown(static_cast<std::size_t>(3) * 100 * 75);
    ASSERT_EQ(GetDIBits(window.screen, 0, 75, shown.data(), window.format), 75);
    EXPECT_EQ(0, std::memcmp(shown.data(), expected.ViewImage.data(), shown.size()));
    EXPECT_GT(CountInView(expected, Colour{0, 255, 0}), 0) << "the vectors are part of what is shown";

    worker->Stop();
}

} // namespace
} // namespace plexor::test
