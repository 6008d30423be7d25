// Opening a large bitmap file and pushing frames into bitmaps, measured
// against BM_Memcpy4096: one copy of the same 4096 x 4096 24-bit frame.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/bmp_only_codec.h"
#include "app/picture_files.h"
#include "bench/bench_frame.h"
#include "platform/bitmap.h"
#include "platform/bmp_writer.h"
#include "platform/dib_transfer.h"
#include "platform/file_io.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace plexor;

constexpr std::int32_t kSide = kFrameSide;

void BM_OpenBmp24_4096(benchmark::State& state)
{
    const test::TempFolder folder;
    const std::string path = folder.file("frame.bmp");
    writeFileAtomically(path, encodeBmp(gradientBitmap()));
    const DibHeader info = topDownFrameInfo();
    std::vector<std::uint8_t> buffer(kFrameBytes, 1);
    // Once before timing, so the file is in the page cache.
    const BmpOnlyCodec codec;
    openPicture(path, codec);
    for (auto _ : state) {
        Picture picture = openPicture(path, codec).picture;
        const int rows = copyRowsFromBitmap(picture.bitmap(), 0, kSide, buffer.data(), info);
        benchmark::DoNotOptimize(rows);
        benchmark::ClobberMemory();
    }
    setFrameBytes(state);
}
BENCHMARK(BM_OpenBmp24_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// Pushes `frame` into `bitmap` once per iteration.
void pushFrames(benchmark::State& state, Bitmap& bitmap, const std::vector<std::uint8_t>& frame)
{
    const DibHeader info = topDownFrameInfo();
    for (auto _ : state) {
        const int rows = copyRowsToBitmap(bitmap, 0, kSide, frame.data(), info);
        benchmark::DoNotOptimize(rows);
        benchmark::ClobberMemory();
    }
    setFrameBytes(state);
}

void BM_PushView24_4096(benchmark::State& state)
{
    Bitmap bitmap(kSide, kSide, PixelFormat::rgb24());
    pushFrames(state, bitmap, gradientFrame());
}
BENCHMARK(BM_PushView24_4096)->Unit(benchmark::kMillisecond);

// A table of 252 colours (a 6 x 7 x 6 cube) and a frame of its colours in
// bands, with a few colours of no entry scattered over it, as an overlay's
// lines would be.
void BM_PushView8_4096(benchmark::State& state)
{
    std::vector<Colour> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                table.push_back({static_cast<std::uint8_t>(b * 51), static_cast<std::uint8_t>(g * 42),
                                 static_cast<std::uint8_t>(r * 51), 0});
    Bitmap bitmap(kSide, kSide, PixelFormat::indexed(8, table));
    const std::uint8_t strays[4][3] = {{0, 255, 255}, {255, 255, 255}, {128, 128, 128}, {13, 200, 77}};
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::int32_t y = 0; y < kSide; ++y)
        for (std::int32_t x = 0; x < kSide; ++x) {
            std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * kSide + x) * 3];
            const Colour& entry = table[static_cast<std::size_t>((x / 16 + y / 16) % 252)];
            p[0] = entry.blue;
            p[1] = entry.green;
            p[2] = entry.red;
            if (x % 64 == 0 || y % 64 == 0) {
                const std::uint8_t* stray = strays[(x + y) & 3];
                p[0] = stray[0];
                p[1] = stray[1];
                p[2] = stray[2];
            }
        }
    pushFrames(state, bitmap, frame);
}
BENCHMARK(BM_PushView8_4096)->Unit(benchmark::kMillisecond);

} // namespace
