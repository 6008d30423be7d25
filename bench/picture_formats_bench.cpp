// Opening 4096 x 4096 PNG and JPEG files already in the page cache, as the
// open command does: read, decode, convert into the bitmap, and hand the rows
// to the model's buffer. Measured against BM_Memcpy4096.

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "bench/bench_frame.h"
#include "platform/file_io.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace plexor;

void openFrames(benchmark::State& state, PictureFormat format)
{
    const QtImageCodec codec;
    const test::TempFolder folder;
    const std::string path = folder.file("frame." + std::string(pictureFormatExtensions(format).front()));
    savePicture({gradientBitmap()}, {}, path, format, codec);
    const DibHeader info = topDownFrameInfo();
    std::vector<std::uint8_t> buffer(kFrameBytes, 1);
    // Once before timing, so the file is in the page cache.
    openPicture(path, codec);
    for (auto _ : state) {
        OpenedPicture opened = openPicture(path, codec);
        const int rows = copyRowsFromBitmap(opened.picture.bitmap(), 0, kFrameSide, buffer.data(), info);
        benchmark::DoNotOptimize(rows);
        benchmark::ClobberMemory();
    }
    setFrameBytes(state);
}

void BM_OpenPng24_4096(benchmark::State& state)
{
    openFrames(state, PictureFormat::Png);
}
BENCHMARK(BM_OpenPng24_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenJpeg_4096(benchmark::State& state)
{
    openFrames(state, PictureFormat::Jpeg);
}
BENCHMARK(BM_OpenJpeg_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
