#pragma once

#include <cstdint>

#include "engine/smooth_planes.h"

namespace plexor {

// How a picture keeps its channels: colours of 8 or 16 bits, and alpha of
// none, 8 or 16 bits.
template <bool kDeepColour, int kAlphaBits>
struct SmoothFormat {
    static constexpr bool kDeep = kDeepColour;
    static constexpr bool kAlpha = kAlphaBits != 0;
    static constexpr std::int64_t kColourMax = kDeepColour ? 65535 : 255;
    static constexpr std::int64_t kAlphaMax = kAlphaBits == 16 ? 65535 : 255;

    static std::int64_t colour(const SmoothPlanes& p, std::int64_t at) noexcept
    {
        if constexpr (kDeepColour) return std::int64_t{p.source[at]} << 8 | p.sourceLow[at];
        return p.source[at];
    }
    static std::int64_t alpha(const SmoothPlanes& p, std::int64_t at) noexcept
    {
        if constexpr (kAlphaBits == 16) return std::int64_t{p.sourceAlpha[at]} << 8 | p.sourceAlphaLow[at];
        return p.sourceAlpha[at];
    }
    static void writeColour(const SmoothPlanes& p, std::int64_t at, std::int64_t v) noexcept
    {
        if constexpr (kDeepColour) {
            p.work[at] = static_cast<std::uint8_t>(v >> 8);
            p.workLow[at] = static_cast<std::uint8_t>(v);
        } else {
            p.work[at] = static_cast<std::uint8_t>(v);
        }
    }
    static void writeAlpha(const SmoothPlanes& p, std::int64_t at, std::int64_t v) noexcept
    {
        if constexpr (kAlphaBits == 16) {
            p.workAlpha[at] = static_cast<std::uint8_t>(v >> 8);
            p.workAlphaLow[at] = static_cast<std::uint8_t>(v);
        } else {
            p.workAlpha[at] = static_cast<std::uint8_t>(v);
        }
    }
};

} // namespace plexor
