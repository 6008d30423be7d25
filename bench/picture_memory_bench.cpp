// The memory a picture takes in the window at 45 megapixels (8192 x 5464):
// the picture's buffers and the screen bitmap, opaque, with alpha and of 16
// bits a channel, in bytes a pixel; the time is that of obtaining them.

#include <benchmark/benchmark.h>

#include "engine/picture_buffers.h"
#include "engine/system_memory.h"
#include "platform/bitmap.h"

namespace plexor {
namespace {

void pictureMemory(benchmark::State& state, bool alpha, bool deep = false)
{
    constexpr std::int32_t kWidth = 8192, kHeight = 5464;
    double held = 0;
    for (auto _ : state) {
        PictureBuffers picture;
        if (picture.replace(kWidth, kHeight, alpha, systemAvailableMemory(), deep)) {
            state.SkipWithError("not enough memory");
            return;
        }
        const Bitmap screen(kWidth, kHeight, PixelFormat::rgb24());
        held = static_cast<double>(picture.marks().size());
        for (const PixelPlanes* planes : {&picture.work(), &picture.view(), &picture.source()})
            held += static_cast<double>(planes->colours.size() + planes->alpha.size() + planes->low.size() +
                                        planes->alphaLow.size());
        held += static_cast<double>(screen.bottomUpRows().size());
        benchmark::DoNotOptimize(held);
    }
    state.counters["bytes_per_pixel"] = held / (double{kWidth} * kHeight);
}

void BM_PictureMemory_45MP(benchmark::State& state)
{
    pictureMemory(state, false);
}
BENCHMARK(BM_PictureMemory_45MP)->Unit(benchmark::kMillisecond);

void BM_PictureMemory_45MP_Alpha(benchmark::State& state)
{
    pictureMemory(state, true);
}
BENCHMARK(BM_PictureMemory_45MP_Alpha)->Unit(benchmark::kMillisecond);

void BM_PictureMemory_45MP_Deep(benchmark::State& state)
{
    pictureMemory(state, false, true);
}
BENCHMARK(BM_PictureMemory_45MP_Deep)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plexor
