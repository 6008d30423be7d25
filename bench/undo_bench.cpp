// Undo of one drag on a 45-megapixel picture (8192 x 5464, step 48), shown
// at fit zoom in an 1800 x 1000 viewport: the drag's pixels and points put
// back, and the view brought up to date where they changed. Compare with
// BM_Memcpy45MP.

#include <benchmark/benchmark.h>

#include "app/main_commands.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor {
namespace {

void BM_UndoDrag_45MP(benchmark::State& state)
{
    const test::TempFolder folder;
    std::string path;
    {
        Bitmap picture(8192, 5464, PixelFormat::rgb24());
        for (std::int32_t y = 0; y < picture.height(); ++y)
            for (std::int32_t x = 0; x < picture.width(); ++x) {
                std::uint8_t* p = picture.row(y) + 3 * x;
                p[0] = static_cast<std::uint8_t>(x * 7);
                p[1] = static_cast<std::uint8_t>(y * 5);
                p[2] = static_cast<std::uint8_t>(x ^ y);
            }
        path = test::writeBmp(folder, "large.bmp", picture);
    }
    test::FakeShell shell;
    shell.pictureView.viewportWidthSetting = 1800;
    shell.pictureView.viewportHeightSetting = 1000;
    shell.grid.answers.push_back("48");
    MainCommands commands(shell.ports());
    commands.start();
    if (!commands.document().openFile(path)) {
        state.SkipWithError("the picture could not be opened");
        return;
    }
    commands.grid().layNewGrid();
    const std::size_t gridStep = commands.history().edits().bytes();
    // A drag with a hand-over, through the middle of the picture.
    const Zoom zoom = commands.view().currentZoom();
    const ControlPoint& p = commands.controlGrid().point(80, 55);
    const auto at = [zoom](std::int64_t v) { return static_cast<std::int32_t>(zoom.toScreen(v)); };
    commands.mouse().press(at(p.x), at(p.y));
    commands.mouse().move(at(p.x + 20), at(p.y + 10));
    commands.mouse().move(at(p.x + 70), at(p.y + 10));
    commands.mouse().release(at(p.x + 70), at(p.y + 10));
    test::serveUntilIdle(commands.worker());
    if (commands.history().undoText() != std::optional<std::string>("Undo Drag")) {
        state.SkipWithError("the drag did not go as meant");
        return;
    }
    for (auto _ : state) {
        commands.history().undo();
        state.PauseTiming();
        commands.history().redo();
        state.ResumeTiming();
    }
    state.counters["grid_step_bytes"] = static_cast<double>(gridStep);
    state.counters["drag_step_bytes"] = static_cast<double>(commands.history().edits().bytes() - gridStep);
}
BENCHMARK(BM_UndoDrag_45MP)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plexor
