// What one mouse move of a drag costs on a 4096 x 4096 picture with a step
// 48 grid and the overlay on: the whole refresh (copy, overlay, push into a
// 24-bit bitmap; the screen repaint left out), and the overlay alone.
// Compare with BM_Memcpy4096 of the same frame in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "editor/draw_overlay.h"
#include "editor/refresh.h"
#include "engine/deform_model.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor {
namespace {

constexpr std::int32_t kSide = 4096;

// A picture as the window opens it, a grid as the grid command lays it, the
// interior points displaced as a drag leaves them and one point picked.
std::unique_ptr<DeformModel> DraggedModel()
{
    auto m = std::make_unique<DeformModel>();
    m->ImageWidth = m->ImageHeight = kSide;
    if (!m->AllocateBuffers()) return nullptr;
    m->SplatMask = PixelBuffer::Obtain(static_cast<std::size_t>(m->PixelCapacity));
    std::memset(m->SplatMask.data(), 0, m->SplatMask.size());
    m->ImageLoaded = true;
    std::mt19937 rng(7);
    for (std::size_t i = 0; i < m->WorkImage.size(); ++i) m->WorkImage[i] = static_cast<std::uint8_t>(rng());
    m->CopyPixels(m->WorkImage, m->ViewImage);
    m->CopyPixels(m->WorkImage, m->SourceImage);
    m->GridStepX = m->GridStepY = 48;
    m->CopyPixels(m->SourceImage, m->WorkImage);
    m->BuildGrid();
    m->BlackOutMargins();
    std::uniform_int_distribution<std::int32_t> d(-47, 47);
    for (std::int32_t r = 1; r + 1 < m->PointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m->PointCols; ++c) {
            TControlPoint& p = m->Point(c, r);
            p.DX = std::clamp(p.X + d(rng), 0, m->ImageWidth - 1) - p.X;
            p.DY = std::clamp(p.Y + d(rng), 0, m->ImageHeight - 1) - p.Y;
        }
    m->Point(m->PointCols / 2, m->PointRows / 2).Selected = 1;
    return m;
}

// The window's part of a refresh, without the screen repaint.
class BenchWindow : public RefreshHost {
public:
    explicit BenchWindow(DeformModel& m) : model_(m), screen_(m.ImageWidth, m.ImageHeight, PixelFormat::Rgb24())
    {
        format_.bmiHeader.biWidth = m.ImageWidth;
        format_.bmiHeader.biHeight = -m.ImageHeight;
    }
    bool OverlayVisible() const override { return true; }
    void PushView() override { rows_ += SetDIBits(screen_, 0, model_.ImageHeight, model_.ViewImage.data(), format_); }
    void RepaintImage() override {}
    long Rows() const { return rows_; }

private:
    DeformModel& model_;
    TBitmap screen_;
    BitmapInfo format_{};
    long rows_ = 0;
};

void BM_Refresh_4096(benchmark::State& state)
{
    const std::unique_ptr<DeformModel> m = DraggedModel();
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    BenchWindow window(*m);
    for (auto _ : state) {
        Refresh(*m, window);
        benchmark::ClobberMemory();
    }
    if (window.Rows() != static_cast<long>(state.iterations()) * kSide) state.SkipWithError("a push failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide * 3);
}
BENCHMARK(BM_Refresh_4096)->Unit(benchmark::kMillisecond);

void BM_DrawOverlay_4096(benchmark::State& state)
{
    const std::unique_ptr<DeformModel> m = DraggedModel();
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    for (auto _ : state) {
        DrawOverlay(*m);
        benchmark::ClobberMemory();
    }
    state.counters["points"] = static_cast<double>(m->ControlPoints.size());
}
BENCHMARK(BM_DrawOverlay_4096)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plexor
