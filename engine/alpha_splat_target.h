#pragma once

#include <cstdint>

#include "engine/splat.h"

namespace plexor {

// The splat's target for a picture with alpha: a sample's colour carries
// its alpha in the top byte, and every write of the colours writes the
// alpha beside them, at the same pixels, chosen by the same marks.
struct AlphaSplatTarget : SplatTarget {
    Colour colourOf(std::int64_t src) const noexcept
    {
        return SplatTarget::colourOf(src) | std::uint32_t{sourceAlpha[src]} << 24;
    }
    void fill(std::int64_t pos, Colour colour, bool marked) const noexcept
    {
        SplatTarget::fill(pos, colour, marked);
        const std::uint32_t keep = 0u - std::uint32_t{marked};
        workAlpha[pos] = static_cast<std::uint8_t>((workAlpha[pos] & keep) | (colour >> 24 & ~keep));
    }
    void write(std::int64_t pos, Colour colour) const noexcept
    {
        SplatTarget::write(pos, colour);
        workAlpha[pos] = static_cast<std::uint8_t>(colour >> 24);
    }
    void fillThree(std::int64_t pos, Colour colour) const noexcept
    {
        SplatTarget::fillThree(pos, colour & 0xFFFFFF);
        const auto alpha = static_cast<std::uint8_t>(colour >> 24);
        workAlpha[pos] = alpha;
        workAlpha[pos + 1] = alpha;
        workAlpha[pos + 2] = alpha;
    }
    void fillNine(std::int64_t top, Colour colour) const noexcept
    {
        SplatTarget::fillNine(top, colour & 0xFFFFFF);
        const auto alpha = static_cast<std::uint8_t>(colour >> 24);
        std::uint8_t* at = workAlpha + top;
        for (int r = 0; r < 3; ++r) {
            at[r * width] = alpha;
            at[r * width + 1] = alpha;
            at[r * width + 2] = alpha;
        }
    }
};

// The low bytes of a deep picture's target as a target of their own.
inline SplatTarget lowPlanesOf(const SplatTarget& t) noexcept
{
    return SplatTarget{t.lowWork, t.lowMask, t.lowSource,    t.capacity,
                       t.width,   t.height,  t.lowWorkAlpha, t.lowSourceAlpha};
}

// Calls splat(planes) with the target's colours alone, or with its alpha
// beside them when it has one; then, for a deep picture, the same with its
// low bytes, whose marks, set by the same samples in the same order, make
// the same choices. Each choice is made once, outside the pixels.
template <class Splat>
void withSplatPlanes(const SplatTarget& target, Splat&& splat)
{
    const auto splatPlanes = [&](const SplatTarget& planes) {
        if (planes.workAlpha != nullptr)
            splat(AlphaSplatTarget{planes});
        else
            splat(planes);
    };
    splatPlanes(target);
    if (target.lowWork != nullptr) splatPlanes(lowPlanesOf(target));
}

} // namespace plexor
