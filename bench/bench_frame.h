#pragma once

// The 4096 x 4096 24-bit frame the picture benchmarks open and push, and the
// description of its rows for the transfers.

#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor {

inline constexpr std::int32_t kFrameSide = 4096;
inline constexpr std::size_t kFrameBytes = std::size_t{kFrameSide} * kFrameSide * 3;

inline DibHeader topDownFrameInfo()
{
    return DibHeader::topDownRows24(kFrameSide, kFrameSide);
}

inline void setFrameBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFrameBytes));
}

// A 24-bit frame of smooth gradients, rows from the top without padding.
inline std::vector<std::uint8_t> gradientFrame()
{
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::int32_t y = 0; y < kFrameSide; ++y)
        for (std::int32_t x = 0; x < kFrameSide; ++x) {
            std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * kFrameSide + x) * 3];
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x + y);
        }
    return frame;
}

// The gradient frame as a 24-bit bitmap.
inline Bitmap gradientBitmap()
{
    Bitmap bitmap(kFrameSide, kFrameSide, PixelFormat::rgb24());
    const std::vector<std::uint8_t> frame = gradientFrame();
    copyRowsToBitmap(bitmap, 0, kFrameSide, frame.data(), topDownFrameInfo());
    return bitmap;
}

} // namespace plexor
