#pragma once

#include <array>
#include <cstddef>
#include <mutex>

#include "engine/pixel_rect.h"

namespace plexor {

// A set of rectangles of a picture, kept to a fixed number: a rectangle
// added beside the others is merged with the one it grows least, so adding
// never allocates and never loses a pixel; it only grows the set.
class RectSet {
public:
    static constexpr std::size_t kCapacity = 32;

    void add(const PixelRect& rect) noexcept;
    void clear() noexcept { count_ = 0; }
    bool empty() const noexcept { return count_ == 0; }
    std::size_t size() const noexcept { return count_; }
    const PixelRect* begin() const noexcept { return rects_.data(); }
    const PixelRect* end() const noexcept { return rects_.data() + count_; }

private:
    std::array<PixelRect, kCapacity> rects_{};
    std::size_t count_ = 0;
};

// What has changed on the picture since it was last shown: the pixels of
// workImage the worker or a command rewrote, and those the overlay drew or
// will draw differently. Every thread marks what it changes; the refresh
// takes the whole at once. Marks are clipped to the picture by the refresh.
class ChangeRegion {
public:
    void mark(const PixelRect& rect);
    // The whole picture, overlay included.
    void markAll();
    // Moves what was marked into `rects` (and whether all of it changed)
    // and starts afresh. Allocates nothing.
    void take(RectSet& rects, bool& all);

private:
    std::mutex mutex_;
    RectSet rects_;
    bool all_ = false;
};

} // namespace plexor
