#pragma once

#include <cstdint>

#include "editor/drag_host.h"
#include "editor/zoom.h"
#include "engine/deform_model.h"

namespace plexor {

// Dragging control points with the mouse on the picture. Positions are
// screen pixels of the picture as shown at the drag's zoom (picture pixels at
// full size); while the mouse is captured they may lie outside it. The button
// and the shift state play no part. UI thread only.
//
// A press within 4 screen pixels (in x and in y) of where an interior point's
// displaced position is shown picks the first such point, rows top to
// bottom, each left to right, and marks it picked; the outer ring of points
// is never picked. Every press refreshes the view and captures the mouse, hit
// or not. From then on everything is in picture pixels: the pointer's
// picture pixel, the offset at which the point was grabbed, the steps.
//
// Each move puts the dragged point's displaced position at the pointer minus
// the offset at which it was grabbed, if that lies inside the picture; a
// wanted displacement of a whole grid step or more instead hands the drag to
// the interior neighbour in that direction (horizontally first, with a
// diagonal part beyond half a step on the other axis) and queues the cells
// around the new point; a hand-over towards the outer ring changes nothing.
// After a hand-over no point is marked picked. Every move of a drag
// refreshes; what a change of a point redraws is marked in the model's change
// region, before and after it.
//
// A release ends the drag: the held point is no longer picked, the cells
// around it are queued and the view is refreshed. Every release gives the
// mouse back, drag or not.
class ControlPointDrag {
public:
    ControlPointDrag(DeformModel& model, DragHost& host) noexcept : model_(model), host_(host) {}
    ControlPointDrag(const ControlPointDrag&) = delete;
    ControlPointDrag& operator=(const ControlPointDrag&) = delete;

    // The zoom the picture is shown at; full size at first.
    void setZoom(Zoom zoom) noexcept { zoom_ = zoom; }

    void mousePress(std::int32_t x, std::int32_t y);
    void mouseMove(std::int32_t x, std::int32_t y);
    void mouseRelease(std::int32_t x, std::int32_t y);

    // Ends the drag exactly as a release does. For commands that replace the
    // grid while a drag may be under way: they end it first.
    void endDrag();

    bool dragging() const noexcept { return model_.dragging(); }
    // The point holding the drag, c + r * pointCols, and the pointer's offset
    // from its displaced position taken at the press. Meaningless while no
    // drag is under way.
    std::int32_t dragIndex() const noexcept { return dragIndex_; }
    std::int32_t dragOffsetX() const noexcept { return dragOffsetX_; }
    std::int32_t dragOffsetY() const noexcept { return dragOffsetY_; }

private:
    bool hasPictureAndGrid() const noexcept { return model_.imageLoaded() && model_.gridExists(); }
    // Whether a drag is under way on a point of the current grid.
    bool holdsPoint() const noexcept;
    // Picks the first interior point within reach of screen position (x, y),
    // if any.
    void pick(std::int32_t x, std::int32_t y);
    // Marks what point i's elements of the overlay cover, as they stand.
    void markPoint(std::int32_t i);

    DeformModel& model_;
    DragHost& host_;
    std::int32_t dragIndex_ = 0;
    std::int32_t dragOffsetX_ = 0;
    std::int32_t dragOffsetY_ = 0;
    Zoom zoom_;
};

} // namespace plexor
