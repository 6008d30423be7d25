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
        TBitmap picture(8192, 5464, PixelFormat::Rgb24());
        for (std::int32_t y = 0; y < picture.Height(); ++y)
            for (std::int32_t x = 0; x < picture.Width(); ++x) {
                std::uint8_t* p = picture.Row(y) + 3 * x;
                p[0] = static_cast<std::uint8_t>(x * 7);
                p[1] = static_cast<std::uint8_t>(y * 5);
                p[2] = static_cast<std::uint8_t>(x ^ y);
            }
        path = test::WriteBmp(folder, "large.bmp", picture);
    }
    test::FakeShell shell;
    shell.image.viewportWidth = 1800;
    shell.image.viewportHeight = 1000;
    shell.grid.answers.push_back("48");
    MainCommands commands(shell.Ports());
    commands.FormCreate();
    if (!commands.OpenFile(path)) {
        state.SkipWithError("the picture could not be opened");
        return;
    }
    commands.SBGridClick();
    const std::size_t gridStep = commands.History().Bytes();
    // A drag with a hand-over, through the middle of the picture.
    const Zoom zoom = commands.CurrentZoom();
    const TControlPoint& p = commands.Model().Point(80, 55);
    const auto at = [zoom](std::int64_t v) { return static_cast<std::int32_t>(zoom.ToScreen(v)); };
    commands.ImageMouseDown(at(p.X), at(p.Y));
    commands.ImageMouseMove(at(p.X + 20), at(p.Y + 10));
    commands.ImageMouseMove(at(p.X + 70), at(p.Y + 10));
    commands.ImageMouseUp(at(p.X + 70), at(p.Y + 10));
    test::ServeUntilIdle(commands.Worker());
    if (commands.UndoText() != std::optional<std::string>("Undo Drag")) {
        state.SkipWithError("the drag did not go as meant");
        return;
    }
    for (auto _ : state) {
        commands.MIUndoClick();
        state.PauseTiming();
        commands.MIRedoClick();
        state.ResumeTiming();
    }
    state.counters["grid_step_bytes"] = static_cast<double>(gridStep);
    state.counters["drag_step_bytes"] = static_cast<double>(commands.History().Bytes() - gridStep);
}
BENCHMARK(BM_UndoDrag_45MP)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plexor
