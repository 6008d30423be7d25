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
#include "engine/cell_worker.h"
#include "engine/deform_cell_internal.h"
#include "platform/bitmap.h"
#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/dib_transfer.h"
#include "tests/support/screen_window.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

// A 98 x 75 24-bit picture file: not a multiple of 4 wide.
std::vector<std::uint8_t> pictureFile()
{
    Bitmap drawn(98, 75, PixelFormat::rgb24());
    for (std::int32_t y = 0; y < drawn.height(); ++y)
        for (std::int32_t x = 0; x < drawn.width(); ++x) {
            const Rgb c = pattern(x, y);
            std::uint8_t* p = drawn.row(y) + 3 * x;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    return encodeBmp(drawn);
}

DibHeader bufferFormat(const DeformModel& m)
{
    return DibHeader::topDownRows24(m.imageWidth(), m.imageHeight());
}

// Opens the picture as the window does: widened with black columns to a
// multiple of 4, buffers for that size, a clear splat mask, the pixels read
// into workImage and copied into the other two.
void open(DeformModel& m, Bitmap& screen)
{
    std::int32_t width = screen.width();
    screen.setBrushColour(0);
    if (const std::int32_t r = width % 4; r != 0) {
        width = width - r + 4;
        screen.setWidth(width);
    }
    ASSERT_TRUE(m.allocateBuffers(width, screen.height()));
    const DibHeader format = bufferFormat(m);
    ASSERT_EQ(copyRowsFromBitmap(screen, 0, m.imageHeight(), m.workImage().data(), format), m.imageHeight());
    m.copyPixels(m.workImage(), m.viewImage());
    m.copyPixels(m.workImage(), m.sourceImage());
}

struct Displacement {
    std::int32_t dx, dy;
};

// What a call of queueCellsAround appended, and the displacements in force
// when it did.
struct Batch {
    std::vector<CellRef> entries;
    std::vector<Displacement> points;
};

// The main window, with a worker for the cells a drag queues.
class Window : public ScreenWindow {
public:
    using ScreenWindow::ScreenWindow;

    void queueCellsAround(std::int32_t c, std::int32_t r) override
    {
        // The worker takes nothing while the gate is held, so the entries
        // after `before` are exactly this call's.
        WorkerHold hold(model.gate());
        const std::size_t before = model.cellQueue().size();
        plexor::queueCellsAround(model, *worker, c, r);
        const std::vector<CellRef> all = model.cellQueue().snapshot();
        Batch batch;
        batch.entries.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        for (const ControlPoint& p : model.points()) batch.points.push_back({p.dx, p.dy});
        batches.push_back(std::move(batch));
    }
    CellWorker* worker = nullptr;
    std::vector<Batch> batches;
};

TEST(EndToEnd, ADraggedPointReachesTheScreenAsTheWorkerDeformsIt)
{
    const std::vector<std::uint8_t> file = pictureFile();
    DeformModel model;
    Bitmap screen = readBmp(std::span<const std::uint8_t>(file));
    open(model, screen);
    ASSERT_EQ(model.imageWidth(), 100);
    model.layGrid(24); // points at x = 2, 26, 50, 74, 98 and y = 1, 25, 49, 73

    Window window(model);
    int workerRefreshes = 0;
    auto worker = std::make_unique<CellWorker>(model, [&] {
        window.refresh();
        ++workerRefreshes;
    });
    window.worker = worker.get();
    ControlPointDrag drag(model, window);

    drag.mousePress(26 + 2, 25 - 1); // picks (1, 1), grabbed at (2, -1)
    ASSERT_TRUE(drag.dragging());
    drag.mouseMove(26 + 2 + 9, 25 - 1 + 5);  // (1, 1) displaced by (9, 5)
    drag.mouseMove(26 + 2 + 30, 25 - 1 + 4); // hands over to (2, 1)
    ASSERT_EQ(drag.dragIndex(), 2 + 1 * model.grid().pointCols);
    ASSERT_TRUE(serveUntilIdle(*worker));
    ASSERT_EQ(workerRefreshes, 1);
    drag.mouseMove(50 + 2 - 7, 25 - 1 + 6); // (2, 1) displaced by (-7, 6)
    drag.mouseRelease(0, 0);
    ASSERT_TRUE(serveUntilIdle(*worker));
    EXPECT_EQ(workerRefreshes, 2);
    EXPECT_EQ(model.point(1, 1).dx, 9);
    EXPECT_EQ(model.point(2, 1).dy, 6);
    ASSERT_EQ(window.batches.size(), 2u);
    EXPECT_EQ(window.batches[0].entries.size(), 13u) << "12 cells around (2, 1), then the marker";
    EXPECT_EQ(window.batches[1].entries.size(), 13u) << "all of them again, since the first batch is done";
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.repaints, 1 + 3 + 1 + 2) << "press, moves, release and the worker's two batches";
    EXPECT_EQ(window.captures, 0) << "captured at the press, given back at the release";

    // The same edit computed directly.
    DeformModel expected;
    Bitmap again = readBmp(std::span<const std::uint8_t>(file));
    open(expected, again);
    expected.layGrid(24);
    for (const Batch& batch : window.batches) {
        for (std::size_t i = 0; i < batch.points.size(); ++i) {
            expected.points()[i].dx = batch.points[i].dx;
            expected.points()[i].dy = batch.points[i].dy;
        }
        for (const CellRef& entry : batch.entries) {
            if (entry.isRefreshMarker())
                std::memset(expected.splatMask().data(), 0, expected.splatMask().size());
            else
                deformCellLiteral(expected, entry);
        }
    }
    ASSERT_EQ(0, std::memcmp(model.workImage().data(), expected.workImage().data(), model.workImage().size()))
        << "the worker's deformation";
    ASSERT_NE(0, std::memcmp(expected.workImage().data(), expected.sourceImage().data(), 3 * 100 * 75))
        << "the edit changed the picture";
    expected.copyPixels(expected.workImage(), expected.viewImage());
    drawOverlay(expected);

    std::vector<std::uint8_t> shown(static_cast<std::size_t>(3) * 100 * 75);
    ASSERT_EQ(copyRowsFromBitmap(window.screen, 0, 75, shown.data(), window.format), 75);
    EXPECT_EQ(0, std::memcmp(shown.data(), expected.viewImage().data(), shown.size()));
    EXPECT_GT(countInView(expected, Colour{0, 255, 0}), 0) << "the vectors are part of what is shown";

    worker->stop();
}

} // namespace
} // namespace plexor::test
