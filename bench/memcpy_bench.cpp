// The yardsticks for every other figure: one copy of a 24-bit frame of
// 4096 x 4096 and of 8192 x 5464 (45 megapixels), measured in the same run.

#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

void copyFrames(benchmark::State& state, std::size_t width, std::size_t height)
{
    const std::size_t bytes = width * height * 3;
    std::vector<std::uint8_t> from(bytes, 0x5A);
    std::vector<std::uint8_t> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
const bool kRegistered = [] {
    benchmark::RegisterBenchmark("BM_Memcpy4096", copyFrames, 4096, 4096)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Memcpy45MP", copyFrames, 8192, 5464)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
