// One edit from file to screen, without a display: a picture file is read
// and opened as the window opens it, a grid is laid, a point is pressed,
// dragged across a hand-over and released, and a real worker deforms the
// queued cells and has the view refreshed into the screen bitmap. What the
// screen bitmap holds at the end must be the deformation computed directly
// in the plain, literal form of the cell's arithmetic, in the order the
// cells were queued, with the overlay drawn over it.

#include <chrono>
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

namespace plexor {
namespace {

using namespace std::chrono_literals;

// A 98 x 75 24-bit picture file: not a multiple of 4 wide.
std::vector<std::uint8_t> PictureFile()
{
    TBitmap drawn(98, 75, PixelFormat::Rgb24());
    for (std::int32_t y = 0; y < drawn.Height(); ++y)
        for (std::int32_t x = 0; x < drawn.Width(); ++x) {
            const Rgb c = Pattern(x, y);
            std::uint8_t* p = drawn.Row(y) + 3 * x;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
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
    m.ImageWidth = screen.Width();
    m.ImageHeight = screen.Height();
    screen.SetBrushColour(0);
    if (const std::int32_t r = m.ImageWidth % 4; r != 0) {
        m.ImageWidth = m.ImageWidth - r + 4;
        screen.SetWidth(m.ImageWidth);
    }
    ASSERT_TRUE(m.AllocateBuffers());
    m.SplatMask = PixelBuffer::Obtain(static_cast<std::size_t>(m.PixelCapacity));
    std::memset(m.SplatMask.data(), 0, m.SplatMask.size());
    m.ImageLoaded = true;
    const BitmapInfo format = BufferFormat(m);
    ASSERT_EQ(GetDIBits(screen, 0, m.ImageHeight, m.WorkImage.data(), format), m.ImageHeight);
    m.CopyPixels(m.WorkImage, m.ViewImage);
    m.CopyPixels(m.WorkImage, m.SourceImage);
}

// The grid command's model steps.
void LayGrid(DeformModel& m, std::int32_t step)
{
    m.GridStepX = m.GridStepY = step;
    m.CopyPixels(m.SourceImage, m.WorkImage);
    m.BuildGrid();
    m.BlackOutMargins();
    m.BuildWeightTables();
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

// The main window, as far as a drag needs it.
class Window : public RefreshHost, public DragHost {
public:
    Window(DeformModel& m, TBitmap& s) : model(m), screen(s), format(BufferFormat(m)) {}

    bool OverlayVisible() const override { return true; }
    void PushView() override
    {
        if (!model.ImageLoaded) return;
        pushOk = pushOk && SetDIBits(screen, 0, model.ImageHeight, model.ViewImage.data(), format) == model.ImageHeight;
    }
    void RepaintImage() override { ++repaints; }
    void Refresh() override { plexor::Refresh(model, *this); }
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
    void SetCapture() override { ++captures; }
    void ReleaseCapture() override { --captures; }

    DeformModel& model;
    TBitmap& screen;
    BitmapInfo format;
    TMyThread* worker = nullptr;
    bool pushOk = true;
    int repaints = 0;
    int captures = 0;
    std::vector<Batch> batches;
};

TEST(EndToEnd, ADraggedPointReachesTheScreenAsTheWorkerDeformsIt)
{
    const std::vector<std::uint8_t> file = PictureFile();
    DeformModel model;
    TBitmap screen = ReadBmp(std::span<const std::uint8_t>(file));
    Open(model, screen);
    ASSERT_EQ(model.ImageWidth, 100);
    LayGrid(model, 24); // points at x = 2, 26, 50, 74, 98 and y = 1, 25, 49, 73

    Window window(model, screen);
    int workerRefreshes = 0;
    auto worker = std::make_unique<TMyThread>(model, [&] {
        window.Refresh();
        ++workerRefreshes;
    });
    window.worker = worker.get();
    ControlPointDrag drag(model, window);
    const auto serveUntilBatches = [&](int n) {
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (workerRefreshes < n || model.CellQueue.Size() != 0) {
            if (std::chrono::steady_clock::now() > end) return false;
            worker->ServeNextCall(5ms);
        }
        return true;
    };

    drag.ImageMouseDown(26 + 2, 25 - 1); // picks (1, 1), grabbed at (2, -1)
    ASSERT_TRUE(drag.Dragging());
    drag.ImageMouseMove(26 + 2 + 9, 25 - 1 + 5);  // (1, 1) displaced by (9, 5)
    drag.ImageMouseMove(26 + 2 + 30, 25 - 1 + 4); // hands over to (2, 1)
    ASSERT_EQ(drag.DragIndex(), 2 + 1 * model.PointCols);
    ASSERT_TRUE(serveUntilBatches(1));
    drag.ImageMouseMove(50 + 2 - 7, 25 - 1 + 6); // (2, 1) displaced by (-7, 6)
    drag.ImageMouseUp(0, 0);
    ASSERT_TRUE(serveUntilBatches(2));
    EXPECT_EQ(workerRefreshes, 2);
    EXPECT_EQ(model.Point(1, 1).DX, 9);
    EXPECT_EQ(model.Point(2, 1).DY, 6);
    ASSERT_EQ(window.batches.size(), 2u);
    EXPECT_EQ(window.batches[0].entries.size(), 13u) << "12 cells around (2, 1), then the marker";
    EXPECT_EQ(window.batches[1].entries.size(), 13u) << "all of them again, since the first batch is done";
    EXPECT_TRUE(window.pushOk);
    EXPECT_EQ(window.repaints, 1 + 3 + 1 + 2) << "press, moves, release and the worker's two batches";
    EXPECT_EQ(window.captures, 0) << "captured at the press, given back at the release";

    // The same edit computed directly.
    DeformModel expected;
    TBitmap again = ReadBmp(std::span<const std::uint8_t>(file));
    Open(expected, again);
    LayGrid(expected, 24);
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
    ASSERT_EQ(GetDIBits(screen, 0, 75, shown.data(), window.format), 75);
    EXPECT_EQ(0, std::memcmp(shown.data(), expected.ViewImage.data(), shown.size()));
    EXPECT_GT(CountInView(expected, Colour{0, 255, 0}), 0) << "the vectors are part of what is shown";

    worker->Stop();
}

} // namespace
} // namespace plexor
