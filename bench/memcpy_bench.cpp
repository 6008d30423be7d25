// The yardstick for every other figure: one copy of a 4096 x 4096 24-bit
// frame, measured in the same run.

#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

void BM_Memcpy4096(benchmark::State& state)
{
    const std::size_t bytes = std::size_t{4096} * 4096 * 3;
    std::vector<std::uint8_t> from(bytes, 0x5A);
    std::vector<std::uint8_t> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_Memcpy4096)->Unit(benchmark::kMillisecond);

} // namespace
