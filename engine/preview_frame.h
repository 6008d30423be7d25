#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/change_region.h"
#include "engine/pixel_planes.h"
#include "engine/pixel_rect.h"

namespace plexor {

// A live frame as the screen shows it: the parts of the picture that a
// release would recompute, with their pixels as the release would leave
// them, each part's rows stored one after another. Outside its parts the
// picture shows as it is. UI thread only.
class PreviewFrame {
public:
    bool empty() const noexcept { return rects_.empty(); }
    const RectSet& rects() const noexcept { return rects_; }

    // Takes the pixels of `rects` from `planes`, a picture `width` pixels wide
    // (and their alpha, when it has one): the frame's from then on. Obtains
    // memory only when the parts are larger than any before.
    void take(const RectSet& rects, const PixelPlanes& planes, std::int32_t width);
    void clear() noexcept { rects_.clear(); }

    // Writes the frame's pixels within `part` over `view`, a picture `width`
    // pixels wide.
    void copyInto(PixelPlanes& view, std::int32_t width, const PixelRect& part) const noexcept;
    // The frame's colour (blue, green, red) at pixel (x, y), or nullptr where
    // it holds none.
    const std::uint8_t* colourAt(std::int32_t x, std::int32_t y) const noexcept;

private:
    RectSet rects_;
    std::size_t offsets_[RectSet::kCapacity] = {}; // where each part's pixels start
    bool alpha_ = false;
    std::vector<std::uint8_t> colours_;
    std::vector<std::uint8_t> alphas_;
};

} // namespace plexor
