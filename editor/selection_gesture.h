#pragma once

#include <cstdint>
#include <span>

#include "editor/zoom.h"
#include "engine/change_region.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// Choosing the points that move together (the grid's selection). Choosing
// is no edit: it changes no pixel of the picture and queues nothing; each
// change only marks in `changes`, for the next refresh, the markers whose
// colour it changes and the band's outline. UI thread only.

// Every interior point chosen; none; point i chosen, or no longer.
void selectAllPoints(ControlGrid& grid, ChangeRegion& changes);
void selectNoPoints(ControlGrid& grid, ChangeRegion& changes);
void toggleSelected(ControlGrid& grid, ChangeRegion& changes, std::int32_t index);

// A gesture begun with Ctrl held, at screen positions as ControlPointDrag
// takes them. Released where it was pressed, without the pointer having
// moved, on a point within reach (pointUnder): that point is chosen, or no
// longer. Once the pointer has moved, the band from the press to the pointer
// is drawn; at the release, the interior points whose displaced positions
// are shown inside it, both corners included, are added to the choice.
class SelectionGesture {
public:
    SelectionGesture(ControlGrid& grid, const PictureBuffers& picture, ChangeRegion& changes) noexcept
        : grid_(grid), picture_(picture), changes_(changes)
    {}
    SelectionGesture(const SelectionGesture&) = delete;
    SelectionGesture& operator=(const SelectionGesture&) = delete;

    void setZoom(Zoom zoom) noexcept { zoom_ = zoom; }
    void press(std::int64_t x, std::int64_t y);
    void move(std::int64_t x, std::int64_t y);
    void release(std::int64_t x, std::int64_t y);
    // Ends the gesture, choosing nothing; the band goes.
    void cancel();
    bool active() const noexcept { return active_; }

private:
    // The picture pixels shown on the screen pixels from the press to (x, y).
    PixelRect bandTo(std::int64_t x, std::int64_t y) const noexcept;
    void showBand(const PixelRect& band);

    bool hasGrid() const noexcept { return picture_.hasPicture() && grid_.exists(); }

    ControlGrid& grid_;
    const PictureBuffers& picture_;
    ChangeRegion& changes_;
    Zoom zoom_;
    bool active_ = false;
    bool moved_ = false;
    std::int64_t pressX_ = 0, pressY_ = 0;
    std::int32_t pressed_ = -1; // the point within reach of the press
};

} // namespace plexor
