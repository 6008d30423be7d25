// One edit from file to screen, without a display: a picture file is read
// and opened as the window opens it, a grid is laid, a point is pressed,
// dragged across a hand-over and released, and a real worker deforms the
// queued cells and has the view refreshed into the screen bitmap. What the
// screen bitmap holds at the end must be the deformation computed directly
// in the plain, literal form of the cell's arithmetic, in the order the
// cells were queued, with the overlay drawn over it.

#include <array>
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

// Opens the picture as the window does: widened with black columns to a
// multiple of 4, buffers for that size, a clear splat mask, the pixels read
// into the work plane and copied into the other two.
void open(TestModel& m, Bitmap& screen)
{
    std::int32_t width = screen.width();
    screen.setBrushColour(0);
    if (const std::int32_t r = width % 4; r != 0) {
        width = width - r + 4;
        screen.setWidth(width);
    }
    ASSERT_FALSE(m.picture.replace(width, screen.height(), false, std::uint64_t{1} << 40));
    ASSERT_TRUE(m.picture.load(screen, {}));
}

struct Displacement {
    std::int32_t dx, dy;
};

// What one queueing of the cells around a point appended, and the
// displacements in force when it did.
struct Batch {
    std::vector<CellRef> entries;
    std::vector<Displacement> points;
};

// The main window, with a worker for the cells a drag queues.
struct Window : ScreenWindow {
    explicit Window(TestModel& m) : ScreenWindow(m)
    {
        queueAround = [this](std::int32_t c, std::int32_t r) {
            // The worker takes nothing while the gate is held, so the entries
            // after `before` are exactly this batch's.
            WorkerHold hold(model.work.gate());
            const std::size_t before = model.work.queue().size();
            model.queueCellsAround(*worker, c, r);
            const std::vector<CellRef> all = model.work.queue().snapshot();
            Batch batch;
            batch.entries.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
            for (const ControlPoint& p : model.grid.points()) batch.points.push_back({p.dx, p.dy});
            batches.push_back(std::move(batch));
        };
    }
    CellWorker* worker = nullptr;
    std::vector<Batch> batches;
};

TEST(EndToEnd, ADraggedPointReachesTheScreenAsTheWorkerDeformsIt)
{
    const std::vector<std::uint8_t> file = pictureFile();
    TestModel model;
    Bitmap screen = readBmp(std::span<const std::uint8_t>(file));
    open(model, screen);
    ASSERT_EQ(model.picture.width(), 100);
    model.layGrid(24); // points at x = 2, 26, 50, 74, 98 and y = 1, 25, 49, 73

    Window window(model);
    int workerRefreshes = 0;
    auto worker = std::make_unique<CellWorker>(model.work, model.grid, model.picture, [&] {
        window.refresh();
        ++workerRefreshes;
    });
    window.worker = worker.get();
    ControlPointDrag drag(model.grid, model.picture, model.work.changes());

    window.press(drag, 26 + 2, 25 - 1); // picks (1, 1), grabbed at (2, -1)
    ASSERT_TRUE(drag.dragging());
    window.move(drag, 26 + 2 + 9, 25 - 1 + 5);  // (1, 1) displaced by (9, 5)
    window.move(drag, 26 + 2 + 30, 25 - 1 + 4); // hands over to (2, 1)
    ASSERT_EQ(drag.dragIndex(), 2 + 1 * model.grid.shape().pointCols);
    ASSERT_TRUE(serveUntilIdle(*worker));
    ASSERT_EQ(workerRefreshes, 1);
    window.move(drag, 50 + 2 - 7, 25 - 1 + 6); // (2, 1) displaced by (-7, 6)
    window.release(drag);
    ASSERT_TRUE(serveUntilIdle(*worker));
    EXPECT_EQ(workerRefreshes, 2);
    EXPECT_EQ(model.grid.point(1, 1).dx, 9);
    EXPECT_EQ(model.grid.point(2, 1).dy, 6);
    ASSERT_EQ(window.batches.size(), 2u);
    EXPECT_EQ(window.batches[0].entries.size(), 13u) << "12 cells around (2, 1), then the marker";
    EXPECT_EQ(window.batches[1].entries.size(), 13u) << "all of them again, since the first batch is done";
    EXPECT_TRUE(window.pushesOk);
    EXPECT_EQ(window.repaints, 1 + 3 + 1 + 2) << "press, moves, release and the worker's two batches";

    // The same edit computed directly.
    TestModel expected;
    Bitmap again = readBmp(std::span<const std::uint8_t>(file));
    open(expected, again);
    expected.layGrid(24);
    for (const Batch& batch : window.batches) {
        for (std::size_t i = 0; i < batch.points.size(); ++i)
            expected.grid.displace(i, batch.points[i].dx, batch.points[i].dy);
        for (const CellRef& entry : batch.entries) {
            if (entry.isRefreshMarker())
                expected.picture.clearAllMarks();
            else
                deformCellLiteral(expected.grid.sampling(), expected.picture.splatTarget(), entry);
        }
    }
    ASSERT_EQ(0, std::memcmp(model.picture.work().colours.data(), expected.picture.work().colours.data(),
                             model.picture.work().colours.size()))
        << "the worker's deformation";
    ASSERT_NE(
        0, std::memcmp(expected.picture.work().colours.data(), expected.picture.source().colours.data(), 3 * 100 * 75))
        << "the edit changed the picture";
    expected.picture.showWork(std::array{PixelRect{0, 0, 100, 75}});
    drawOverlay(expected.grid, expected.picture);

    std::vector<std::uint8_t> shown(static_cast<std::size_t>(3) * 100 * 75);
    ASSERT_EQ(copyRowsFromBitmap(window.screen, 0, 75, shown.data(), window.format), 75);
    EXPECT_EQ(0, std::memcmp(shown.data(), expected.picture.view().colours.data(), shown.size()));
    EXPECT_GT(countInView(expected, Colour{0, 255, 0}), 0) << "the vectors are part of what is shown";

    worker->stop();
}

} // namespace
} // namespace plexor::test
