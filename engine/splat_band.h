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
    bool whole(std::int64_t width) const noexcept { return first == 0 && last == width; }
};

// The fills of one sample whose destination lies in the buffer, as
// splatSamplePlain would make them but with no mark set or read but the
// others', at the band's pixels only: those of its square that lie in the
// buffer and were not marked. Never inlined, like the plain form.
template <class Planes>
[[gnu::noinline]] void fillClipped(const Planes& t, SplatBand band, std::int64_t dest,
                                   typename Planes::Colour colour) noexcept
{
    const std::int64_t w = t.width;
    const std::int64_t column = dest % w;
    for (std::int64_t b = -1; b <= 1; ++b) {
        const std::int64_t c = column + b < 0 ? column + b + w : column + b >= w ? column + b - w : column + b;
        if (!band.owns(c)) continue;
        for (std::int64_t a = -1; a <= 1; ++a) {
            const std::int64_t pos = dest + a * w + b;
            if (pos >= 0 && pos < t.capacity && t.mask[pos] == 0) t.write(pos, colour);
        }
    }
}

} // namespace plexor
