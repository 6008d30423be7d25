#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "editor/reduced_view.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"
#include "engine/preview_frame.h"

namespace plexor {

// The parts of the picture a refresh has brought up to date, for the screen
// bitmap to take and the screen to repaint.
struct RefreshParts {
    std::array<PixelRect, RectSet::kCapacity> rects{};
    std::size_t count = 0;

    std::span<const PixelRect> parts() const noexcept { return {rects.data(), count}; }
};

// Brings the view up to date with what has changed since the last refresh
// (`work`'s change region), and returns the parts it changed. UI thread
// only; without a picture it only forgets the changes. In each changed part
// it copies work into the view (with the three spare pixels), and over it a
// live frame's pixels where `frame` holds some, keeping the worker from
// writing the picture for the copy; brings `reduced`, the reduced view the
// screen shows (nullptr: none), up to date from the view; and draws the
// overlay, when `overlay`, exactly as the whole overlay is drawn. So the
// work follows what changed, and afterwards the view holds what
// refreshWhole would give it. Allocates nothing of its own.
RefreshParts refresh(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                     bool overlay, const PreviewFrame* frame = nullptr);

// The same for `part` of the picture, whatever changed, the change region
// left as it is: what a reduced view's new window needs; and for the whole
// picture, the reference.
RefreshParts refreshPart(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                         bool overlay, const PreviewFrame* frame, const PixelRect& part);
RefreshParts refreshWhole(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                          bool overlay, const PreviewFrame* frame = nullptr);

} // namespace plexor
