// A refresh does only the work of what changed; afterwards the view, the
// screen bitmap and a reduced view must hold exactly what a whole refresh
// gives them. Random sequences of edits check it after every refresh: drags
// with hand-overs, the worker's batches, Show toggles, grid commands,
// resets, zoom changes, and opens of the same and of another size.

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "editor/drag.h"
#include "editor/refresh.h"
#include "engine/cell_worker.h"
#include "tests/support/model_setup.h"
#include "tests/support/screen_window.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

std::vector<std::uint8_t> bytes(const ByteBuffer& buffer)
{
    return {buffer.data(), buffer.data() + buffer.size()};
}

std::vector<std::uint8_t> rows(const Bitmap& bitmap)
{
    const std::span<const std::uint8_t> rows = bitmap.bottomUpRows();
    return {rows.begin(), rows.end()};
}

std::vector<std::uint8_t> reducedPixels(const ReducedView& view)
{
    const PixelRect& w = view.window();
    std::vector<std::uint8_t> pixels;
    for (std::int32_t y = 0; y < w.y1 - w.y0; ++y) {
        const std::uint8_t* row = view.pixels() + y * view.stride();
        pixels.insert(pixels.end(), row, row + 3 * (w.x1 - w.x0));
    }
    return pixels;
}

// The program's window and worker around one model, with the check after
// every refresh.
class Scene : public ScreenWindow {
public:
    Scene(TestModel& m, int& checkCount) : ScreenWindow(m), checks(checkCount)
    {
        queueAround = [this](std::int32_t c, std::int32_t r) {
            if (worker != nullptr) model.queueCellsAround(*worker, c, r);
        };
    }

    // The worker may be deforming cells meanwhile: it stays off the work plane
    // from the refresh to the end of the check, so that both see it alike.
    void refresh() override
    {
        WorkerHold hold(model.work.gate());
        ScreenWindow::refresh();
        checkAgainstWholeRefresh();
    }
    void checkAgainstWholeRefresh()
    {
        ++checks;
        const std::vector<std::uint8_t> view = bytes(model.picture.view().colours);
        const std::vector<std::uint8_t> reduced =
            showReduced ? reducedPixels(this->reducedView) : std::vector<std::uint8_t>{};
        ScreenWindow whole(model);
        whole.overlay = overlay;
        whole.showReduced = showReduced;
        if (showReduced)
            whole.reducedView.setWindow(this->reducedView.zoom(), this->reducedView.window(), model.picture.width(),
                                        model.picture.height());
        {
            const RefreshParts parts = refreshWhole(model.picture, model.grid, model.work,
                                                    showReduced ? &whole.reducedView : nullptr, overlay);
            for (const PixelRect& part : parts.parts())
                copyPartToBitmap(whole.screen, part.x0, part.y0, part.x1, part.y1, model.picture.view().colours.data(),
                                 whole.format);
        }
        const std::vector<std::uint8_t> full = bytes(model.picture.view().colours);
        const auto differ = std::mismatch(view.begin(), view.end(), full.begin());
        ASSERT_TRUE(differ.first == view.end())
            << "the view differs at pixel " << (differ.first - view.begin()) / 3 % model.picture.width() << ", "
            << (differ.first - view.begin()) / 3 / model.picture.width() << ", check " << checks;
        ASSERT_TRUE(rows(screen) == rows(whole.screen)) << "the screen bitmap differs, check " << checks;
        if (showReduced) {
            ASSERT_TRUE(reduced == reducedPixels(whole.reducedView)) << "the reduced view, check " << checks;
        }
    }

    CellWorker* worker = nullptr;
    int& checks;
};

class RefreshEquivalence : public ::testing::TestWithParam<std::uint32_t> {
protected:
    // Opens a picture of width x height, as the open command does: new
    // buffers, the pixels, and a window of the new size.
    void open(std::int32_t width, std::int32_t height)
    {
        worker_.reset();
        scene_.reset();
        const std::uint32_t tint = rng_();
        loadPicture(model_, width, height, [tint](std::int32_t x, std::int32_t y) {
            return Rgb{static_cast<std::uint8_t>(x * 7 + tint), static_cast<std::uint8_t>(y * 5 + (tint >> 8)),
                       static_cast<std::uint8_t>((x ^ y) + (tint >> 16))};
        });
        scene_ = std::make_unique<Scene>(model_, checks_);
        worker_ = std::make_unique<CellWorker>(model_.work, model_.grid, model_.picture, [this] { scene_->refresh(); });
        scene_->worker = worker_.get();
        drag_ = std::make_unique<ControlPointDrag>(model_.grid, model_.picture, model_.work.changes());
        setZoom(zoom_);
    }
    void setZoom(Zoom z)
    {
        zoom_ = z;
        drag_->setZoom(z);
        scene_->showReduced = z.reduces();
        if (z.reduces()) {
            // A window onto part of the reduced picture, as a viewport shows it.
            const std::int32_t width = static_cast<std::int32_t>(z.screenLength(model_.picture.width()));
            const std::int32_t height = static_cast<std::int32_t>(z.screenLength(model_.picture.height()));
            const std::int32_t x0 = pick(0, width / 3);
            const std::int32_t y0 = pick(0, height / 3);
            scene_->reducedView.setWindow(z,
                                          PixelRect{x0, y0, x0 + pick(width / 2, width), y0 + pick(height / 2, height)},
                                          model_.picture.width(), model_.picture.height());
            WorkerHold hold(model_.work.gate());
            refreshPart(model_.picture, model_.grid, model_.work, &scene_->reducedView, scene_->overlay, nullptr,
                        scene_->reducedView.shownPart());
        }
    }
    std::int32_t pick(std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng_); }
    std::int32_t screen(std::int32_t v) const { return static_cast<std::int32_t>(zoom_.toScreen(v)); }

    // A press near an interior point, moves about it (some far enough to
    // hand the drag over), a release.
    void dragRandomly()
    {
        if (model_.grid.shape().pointCols < 3 || model_.grid.shape().pointRows < 3) return;
        const ControlPoint& p =
            model_.grid.point(pick(1, model_.grid.shape().pointCols - 2), pick(1, model_.grid.shape().pointRows - 2));
        std::int32_t x = p.x + p.dx + pick(-2, 2);
        std::int32_t y = p.y + p.dy + pick(-2, 2);
        scene_->press(*drag_, screen(x), screen(y));
        const std::int32_t step = model_.grid.step();
        for (int moves = pick(1, 8); moves > 0; --moves) {
            x += pick(-step - step / 2, step + step / 2);
            y += pick(-step - step / 2, step + step / 2);
            scene_->move(*drag_, screen(x), screen(y));
        }
        scene_->release(*drag_);
    }

    TestModel model_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<CellWorker> worker_;
    std::unique_ptr<ControlPointDrag> drag_;
    std::mt19937 rng_{GetParam()};
    Zoom zoom_;
    int checks_ = 0;
};

TEST_P(RefreshEquivalence, EveryRefreshGivesWhatAWholeRefreshGives)
{
    open(164, 120);
    model_.layGrid(24);
    scene_->refresh();
    for (int op = 0; op < 250; ++op) {
        switch (pick(0, 11)) {
        case 0:
            scene_->overlay = !scene_->overlay; // Grid > Show
            model_.work.changes().markAll();
            scene_->refresh();
            break;
        case 1:
            model_.layGrid(pick(6, 40));
            scene_->refresh();
            break;
        case 2:
            if (model_.grid.exists()) resetGrid(model_.grid, model_.picture, model_.work);
            scene_->refresh();
            break;
        case 3: {
            const Zoom zooms[] = {Zoom::actual(), {1, 2}, {1, 3}, {2, 5}, {2, 1}};
            setZoom(zooms[pick(0, 4)]);
            break;
        }
        case 4: // an open: a picture of the same size, or another
            if (pick(0, 1) == 0)
                open(model_.picture.width(), model_.picture.height());
            else
                open(4 * pick(10, 50), pick(30, 160));
            if (!model_.grid.exists()) model_.layGrid(pick(8, 30));
            scene_->refresh();
            break;
        default: dragRandomly(); break;
        }
        // The worker's batches, each ending in a refresh that is checked.
        ASSERT_TRUE(serveUntilIdle(*worker_));
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(checks_, 250);
    worker_->stop();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RefreshEquivalence, ::testing::Values(1u, 2u, 3u));

TEST(RefreshCost, AMoveOfADragRedrawsOnlyAroundThePoint)
{
    TestModel model;
    loadPicture(model, 960, 720);
    model.layGrid(48);
    ScreenWindow window(model);
    window.refresh();
    ControlPointDrag drag(model.grid, model.picture, model.work.changes());
    window.press(drag, 480, 336);
    window.pixelsPushed = 0;
    window.move(drag, 490, 340);
    // The point's segments reach its neighbours, a step away each way.
    EXPECT_GT(window.pixelsPushed, 0);
    EXPECT_LE(window.pixelsPushed, (2 * 48 + 20) * (2 * 48 + 20));
}

} // namespace
} // namespace plexor::test
