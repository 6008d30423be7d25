#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/pixel_rect.h"

namespace plexor {

// The control points chosen to move together, a byte for each point of the
// grid, and the rectangle that a selection gesture is drawing, if any.
// Choosing points is no edit: the model keeps the choice while a grid of the
// same shape is laid again (an undo, a reset), and starts it afresh for a
// grid of another shape. Only interior points are ever chosen. UI thread only.
class PointSelection {
public:
    // Nothing chosen, for a grid of `pointCount` points.
    void reset(std::size_t pointCount);
    void clear();
    bool contains(std::size_t index) const noexcept { return index < chosen_.size() && chosen_[index] != 0; }
    void add(std::size_t index) noexcept;
    void remove(std::size_t index) noexcept;
    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }
    // Changes whenever the choice does.
    std::uint64_t generation() const noexcept { return generation_; }
    // The chosen points' indexes, row by row.
    std::vector<std::int32_t> members() const;

    // The rectangle being drawn, in picture pixels; empty while none is.
    const PixelRect& band() const noexcept { return band_; }
    void setBand(const PixelRect& band) noexcept { band_ = band; }

private:
    std::vector<std::uint8_t> chosen_;
    std::size_t count_ = 0;
    std::uint64_t generation_ = 0;
    PixelRect band_;
};

} // namespace plexor
