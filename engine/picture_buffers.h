#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engine/grid_geometry.h"
#include "engine/memory_shortfall.h"
#include "engine/pixel_planes.h"
#include "engine/pixel_rect.h"
#include "engine/splat.h"
#include "platform/bitmap.h"

namespace plexor {

class ChangeRegion;
class RectSet;
class TileStore;

// The buffers of the picture being edited and what they may become: the
// deformed picture (work), what the screen shows (view: work with the
// overlay drawn over it), the starting picture of the pass under way
// (source), a byte a pixel marking the exact destinations of the batch under
// way (the splat marks), and, once a pass laid over a result has replaced
// the starting picture, the picture as read.
//
// It keeps them consistent: the three planes and the marks exist together,
// sized for the picture, exactly while hasPicture(); all of them have alpha
// or none has. A deep picture's work and source (and the picture as read)
// hold its low bytes too, which the view, showing the high bytes, does not;
// they are splatted after the high bytes with the same destinations and
// marks of their own, cleared with the others, so the same marks decide
// every byte. Everything is replaced and released on the UI thread while
// the worker is held; the worker writes work and the marks, through
// splatTarget(), only inside its side of the gate.
class PictureBuffers {
public:
    bool hasPicture() const noexcept { return !work_.empty(); }
    std::int32_t width() const noexcept { return width_; } // a multiple of 4
    std::int32_t height() const noexcept { return height_; }
    std::int32_t capacity() const noexcept { return capacity_; } // pixels a plane holds
    bool hasAlpha() const noexcept { return !work_.alpha.empty(); }
    const PixelPlanes& work() const noexcept { return work_; }
    const PixelPlanes& view() const noexcept { return view_; }
    const PixelPlanes& source() const noexcept { return source_; }
    // The marks, the low bytes' after them in a deep picture.
    const ByteBuffer& marks() const noexcept { return marks_; }

    // Why buffers for a width x height picture would not fit in `available`
    // bytes beside the ones held now, if they would not.
    static std::optional<MemoryShortfall> shortfall(std::int32_t width, std::int32_t height, bool alpha,
                                                    std::uint64_t available, bool deep = false);
    // Replaces the buffers with new ones for a width x height picture (width
    // a multiple of 4), with alpha or without, deep or not, all or nothing: the marks
    // clear, the pixels the caller's to fill (load). Returns which could not
    // be had, leaving everything as it was.
    std::optional<MemoryShortfall> replace(std::int32_t width, std::int32_t height, bool alpha, std::uint64_t available,
                                           bool deep = false);
    void release() noexcept;
    // Reads `bitmap` (of the picture's size), `alpha` and a deep picture's
    // low bytes (rows without gaps) into all three planes; false when the
    // bitmap's rows cannot be read, the picture then black.
    bool load(const Bitmap& bitmap, std::span<const std::uint8_t> alpha, std::span<const std::uint8_t> low = {},
              std::span<const std::uint8_t> alphaLow = {});

    void restoreWork();                             // work made afresh from source
    void blackOutMargins(const GridGeometry& grid); // the strips of work outside the grid turn black
    // Copies these parts of work, and the three spare pixels, into the view.
    void showWork(std::span<const PixelRect> parts);
    // The view, for the overlay to be drawn into.
    PixelPlanes& viewToDraw() noexcept { return view_; }
    // Where the worker's cells splat: work from source, with the marks.
    SplatTarget splatTarget() noexcept;
    // Clears the marks within `rects`, where a batch has set them.
    void clearMarks(const RectSet& rects) noexcept;
    void clearAllMarks() noexcept;

    // Puts the tiles of `tiles` back into work (source), marking in `changes`
    // those that differed.
    void restoreWork(const TileStore& tiles, ChangeRegion& changes);
    void restoreSource(const TileStore& tiles, ChangeRegion& changes);

    // Keeps the picture as read, before source first changes; which buffer
    // could not be had otherwise.
    std::optional<MemoryShortfall> keepOpened(std::uint64_t available);
    // Work becomes the starting picture of the next pass (the picture as read
    // kept first), the marks cleared; the picture as read becomes the
    // starting picture again.
    void beginPassOverResult();
    void startFromOpened();

private:
    // Whether the picture as read is kept apart from source.
    bool keepsOpened() const noexcept { return !opened_.empty(); }

    std::int32_t width_ = 0, height_ = 0, capacity_ = 0;
    PixelPlanes work_, view_, source_, opened_;
    ByteBuffer marks_;
};

} // namespace plexor
