#pragma once

#include <cstdint>

#include "engine/splat.h"

namespace plexor {

// The pixels one thread splats while others splat theirs: those whose
// column (the pixel index modulo the width) lies in first .. last - 1, in
// every row. What a splat leaves at a pixel depends only on the samples that
// reach it and on their order, so bands that each take, in order, every
// sample reaching them give the bits of one sample after another.
struct SplatBand {
    std::int32_t first = 0;
    std::int32_t last = 0;

    bool owns(std::int64_t column) const noexcept { return column >= first && column < last; }
    // Every column: a splat may spill over the end of a row.
    bool whole(std::int64_t width) const noexcept { return first == 0 && last == width; }
};

// splatSamplePlain for a destination inside the buffer and a source inside
// it, writing only the band's pixels and their marks. Never inlined, like
// the plain form.
template <class Planes>
[[gnu::noinline]] void splatClipped(const Planes& t, SplatBand band, std::int64_t dest, std::int64_t src) noexcept
{
    const std::int64_t w = t.width;
    const std::int64_t column = dest % w;
    const auto ownsColumn = [&](std::int64_t c) { return band.owns(c < 0 ? c + w : c >= w ? c - w : c); };
    const bool ownsDest = band.owns(column);
    if (ownsDest) t.mask[dest] = 1;
    const auto colour = t.colourOf(src);
    for (std::int64_t a = -1; a <= 1; ++a) {
        for (std::int64_t b = -1; b <= 1; ++b) {
            const std::int64_t pos = dest + a * w + b;
            if (pos >= 0 && pos < t.capacity && ownsColumn(column + b) && t.mask[pos] == 0) t.write(pos, colour);
        }
    }
    if (ownsDest) t.write(dest, colour);
}

// One sample splatted within a band, whatever its place: fast where its
// square lies in the band and the buffer.
template <class Planes>
inline void splatInBand(const Planes& t, SplatBand band, std::int64_t dest, std::int64_t src) noexcept
{
    const std::int64_t w = t.width;
    const std::int64_t column = dest % w;
    if (column > band.first && column + 1 < band.last && squareInside(dest, w, t.capacity))
        splatInside(t, dest, src);
    else if ((column + 1 >= band.first && column - 1 < band.last) || column == 0 || column + 1 == w)
        splatClipped(t, band, dest, src);
}

} // namespace plexor
