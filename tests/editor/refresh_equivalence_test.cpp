// A refresh does only the work of what changed; afterwards ViewImage, the
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
#include "engine/my_thread.h"
#include "tests/support/model_setup.h"
#include "tests/support/screen_window.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

std::vector<std::uint8_t> Bytes(const PixelBuffer& buffer)
{
    return {buffer.data(), buffer.data() + buffer.size()};
}

std::vector<std::uint8_t> Rows(const TBitmap& bitmap)
{
    const std::span<const std::uint8_t> rows = bitmap.BottomUpRows();
    return {rows.begin(), rows.end()};
}

std::vector<std::uint8_t> ReducedPixels(const ReducedView& view)
{
    const PixelRect& w = view.Window();
    std::vector<std::uint8_t> pixels;
    for (std::int32_t y = 0; y < w.Y1 - w.Y0; ++y) {
        const std::uint8_t* row = view.Pixels() + y * view.Stride();
        pixels.insert(pixels.end(), row, row + 3 * (w.X1 - w.X0));
    }
    return pixels;
}

// The program's window and worker around one model, with the check after
// every refresh.
class Scene : public ScreenWindow {
public:
    Scene(DeformModel& m, int& checkCount) : ScreenWindow(m), checks(checkCount) {}

    // The worker may be deforming cells meanwhile: it stays off WorkImage
    // from the refresh to the end of the check, so that both see it alike.
    void Refresh() override
    {
        WorkerHold hold(model.Gate);
        ScreenWindow::Refresh();
        CheckAgainstWholeRefresh();
    }
    void QueueCellsAround(std::int32_t c, std::int32_t r) override
    {
        if (worker != nullptr) plexor::QueueCellsAround(model, *worker, c, r);
    }

    void CheckAgainstWholeRefresh()
    {
        ++checks;
        const std::vector<std::uint8_t> view = Bytes(model.ViewImage);
        const std::vector<std::uint8_t> reduced =
            showReduced ? ReducedPixels(this->reduced) : std::vector<std::uint8_t>{};
        ScreenWindow whole(model);
        whole.overlay = overlay;
        whole.showReduced = showReduced;
        if (showReduced)
            whole.reduced.SetWindow(this->reduced.GetZoom(), this->reduced.Window(), model.ImageWidth,
                                    model.ImageHeight);
        RefreshWhole(model, whole);
        const std::vector<std::uint8_t> full = Bytes(model.ViewImage);
        const auto differ = std::mismatch(view.begin(), view.end(), full.begin());
        ASSERT_TRUE(differ.first == view.end())
            << "ViewImage differs at pixel " << (differ.first - view.begin()) / 3 % model.ImageWidth << ", "
            << (differ.first - view.begin()) / 3 / model.ImageWidth << ", check " << checks;
        ASSERT_TRUE(Rows(screen) == Rows(whole.screen)) << "the screen bitmap differs, check " << checks;
        if (showReduced) {
            ASSERT_TRUE(reduced == ReducedPixels(whole.reduced)) << "the reduced view, check " << checks;
        }
    }

    TMyThread* worker = nullptr;
    int& checks;
};

class RefreshEquivalence : public ::testing::TestWithParam<std::uint32_t> {
protected:
    // Opens a picture of width x height, as the open command does: new
    // buffers, the pixels, and a window of the new size.
    void Open(std::int32_t width, std::int32_t height)
    {
        worker.reset();
        scene.reset();
        const std::uint32_t tint = rng();
        LoadPicture(model, width, height, [tint](std::int32_t x, std::int32_t y) {
            return Rgb{static_cast<std::uint8_t>(x * 7 + tint), static_cast<std::uint8_t>(y * 5 + (tint >> 8)),
                       static_cast<std::uint8_t>((x ^ y) + (tint >> 16))};
        });
        scene = std::make_unique<Scene>(model, checks);
        worker = std::make_unique<TMyThread>(model, [this] { scene->Refresh(); });
        scene->worker = worker.get();
        drag = std::make_unique<ControlPointDrag>(model, *scene);
        SetZoom(zoom);
    }
    void SetZoom(Zoom z)
    {
        zoom = z;
        drag->SetZoom(z);
        scene->showReduced = z.Reduces();
        if (z.Reduces()) {
            // A window onto part of the reduced picture, as a viewport shows it.
            const std::int32_t width = static_cast<std::int32_t>(z.ScreenLength(model.ImageWidth));
            const std::int32_t height = static_cast<std::int32_t>(z.ScreenLength(model.ImageHeight));
            const std::int32_t x0 = Pick(0, width / 3);
            const std::int32_t y0 = Pick(0, height / 3);
            scene->reduced.SetWindow(z, PixelRect{x0, y0, x0 + Pick(width / 2, width), y0 + Pick(height / 2, height)},
                                     model.ImageWidth, model.ImageHeight);
            WorkerHold hold(model.Gate);
            scene->reduced.Render(model, scene->overlay);
        }
    }
    std::int32_t Pick(std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng); }
    std::int32_t Screen(std::int32_t v) const { return static_cast<std::int32_t>(zoom.ToScreen(v)); }

    // A press near an interior point, moves about it (some far enough to
    // hand the drag over), a release.
    void Drag()
    {
        if (model.PointCols() < 3 || model.PointRows() < 3) return;
        const TControlPoint& p = model.Point(Pick(1, model.PointCols() - 2), Pick(1, model.PointRows() - 2));
        std::int32_t x = p.X + p.DX + Pick(-2, 2);
        std::int32_t y = p.Y + p.DY + Pick(-2, 2);
        drag->ImageMouseDown(Screen(x), Screen(y));
        const std::int32_t step = model.GridStepX;
        for (int moves = Pick(1, 8); moves > 0; --moves) {
            x += Pick(-step - step / 2, step + step / 2);
            y += Pick(-step - step / 2, step + step / 2);
            drag->ImageMouseMove(Screen(x), Screen(y));
        }
        drag->ImageMouseUp(Screen(x), Screen(y));
    }

    DeformModel model;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<TMyThread> worker;
    std::unique_ptr<ControlPointDrag> drag;
    std::mt19937 rng{GetParam()};
    Zoom zoom;
    int checks = 0;
};

TEST_P(RefreshEquivalence, EveryRefreshGivesWhatAWholeRefreshGives)
{
    Open(164, 120);
    model.LayGrid(24);
    scene->Refresh();
    for (int op = 0; op < 250; ++op) {
        switch (Pick(0, 11)) {
        case 0:
            scene->overlay = !scene->overlay; // Grid > Show
            model.Changes.MarkAll();
            scene->Refresh();
            break;
        case 1:
            model.LayGrid(Pick(6, 40));
            scene->Refresh();
            break;
        case 2:
            if (model.GridExists()) model.ResetGrid();
            scene->Refresh();
            break;
        case 3: {
            const Zoom zooms[] = {Zoom::Actual(), {1, 2}, {1, 3}, {2, 5}, {2, 1}};
            SetZoom(zooms[Pick(0, 4)]);
            break;
        }
        case 4: // an open: a picture of the same size, or another
            if (Pick(0, 1) == 0)
                Open(model.ImageWidth, model.ImageHeight);
            else
                Open(4 * Pick(10, 50), Pick(30, 160));
            if (!model.GridExists()) model.LayGrid(Pick(8, 30));
            scene->Refresh();
            break;
        default: Drag(); break;
        }
        // The worker's batches, each ending in a refresh that is checked.
        ASSERT_TRUE(ServeUntilIdle(*worker));
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(checks, 250);
    worker->Stop();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RefreshEquivalence, ::testing::Values(1u, 2u, 3u));

TEST(RefreshCost, AMoveOfADragRedrawsOnlyAroundThePoint)
{
    DeformModel model;
    LoadPicture(model, 960, 720);
    model.LayGrid(48);
    ScreenWindow window(model);
    window.Refresh();
    ControlPointDrag drag(model, window);
    drag.ImageMouseDown(480, 336);
    window.pushedPixels = 0;
    drag.ImageMouseMove(490, 340);
    // The point's segments reach its neighbours, a step away each way.
    EXPECT_GT(window.pushedPixels, 0);
    EXPECT_LE(window.pushedPixels, (2 * 48 + 20) * (2 * 48 + 20));
}

} // namespace
} // namespace plexor::test
