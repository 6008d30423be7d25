#pragma once

#include <cstdint>
#include <vector>

#include "editor/point_group.h"
#include "editor/zoom.h"
#include "engine/cell_ref.h"
#include "engine/change_region.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// What a step of a drag leaves for the worker: the point whose cells are to
// be recomputed now (the one a drag hands over to, or lets go of), or the
// batch of a group's cells.
struct DragStep {
    std::int32_t queueAround = -1; // a point's index, c + r * pointCols; -1: none
    std::vector<CellRef> batch;    // in the order the worker takes them
    bool moved = false;            // a point moved, or the drag passed to another
};

// Dragging control points with the mouse on the picture. Positions are
// screen pixels of the picture as shown at the drag's zoom (picture pixels at
// full size); while the mouse is captured they may lie outside it. The button
// plays no part. UI thread only. Every change of a point marks, in
// `changes`, what it redraws, before and after it; the caller refreshes.
//
// A press within 4 screen pixels (in x and in y) of where an interior point's
// displaced position is shown reaches the first such point, rows top to
// bottom, each left to right (pointUnderLiteral); the outer ring of points
// is never reached. A point outside the selection clears the selection, and
// is picked and dragged alone; so is the only point selected. A point of a
// selection of two or more starts a group drag of all of them, and none is
// picked. From then on everything is in picture pixels: the pointer's picture
// pixel, the offset at which the point was grabbed, the steps.
//
// Each move of a point dragged alone puts its displaced position at the
// pointer minus the offset at which it was grabbed, if that lies inside the
// picture; a wanted displacement of a whole grid step or more instead hands
// the drag to the interior neighbour in that direction (horizontally first,
// with a diagonal part beyond half a step on the other axis), whose cells are
// then to be queued; a hand-over towards the outer ring changes nothing.
// After a hand-over no point is marked picked. Each move of a group drag
// moves every member by the pointer's offset from the press, cut to the
// group's limits (PointGroup), with no hand-over. With the axis locked, the
// pointer is first put on the line through the press along the axis on
// which it lies farther from the press (across, on a tie).
//
// A release ends the drag: the held point is no longer picked and its cells
// are to be queued, or the group's batch (PointGroup::cells) is.
class ControlPointDrag {
public:
    ControlPointDrag(ControlGrid& grid, const PictureBuffers& picture, ChangeRegion& changes) noexcept
        : grid_(grid), picture_(picture), changes_(changes)
    {}
    ControlPointDrag(const ControlPointDrag&) = delete;
    ControlPointDrag& operator=(const ControlPointDrag&) = delete;

    // The zoom the picture is shown at; full size at first.
    void setZoom(Zoom zoom) noexcept { zoom_ = zoom; }

    // A press while no drag is under way; whether it reached the grid at all
    // (a picture and a grid exist), hit or not.
    bool press(std::int32_t x, std::int32_t y);
    DragStep move(std::int32_t x, std::int32_t y, bool lockAxis = false);
    // Ends the drag under way, if any, as a release does; a command that
    // replaces the grid ends it first.
    DragStep release();

    bool dragging() const noexcept { return dragging_; }
    bool groupDragging() const noexcept { return dragging_ && group_; }
    // The point holding the drag (the one pressed, in a group drag), c + r *
    // pointCols, and the pointer's offset from its displaced position taken
    // at the press. Meaningless while no drag is under way.
    std::int32_t dragIndex() const noexcept { return dragIndex_; }
    std::int32_t dragOffsetX() const noexcept { return dragOffsetX_; }
    std::int32_t dragOffsetY() const noexcept { return dragOffsetY_; }
    // The group a group drag moves.
    const PointGroup& group() const noexcept { return members_; }

private:
    bool hasPictureAndGrid() const noexcept { return picture_.hasPicture() && grid_.exists(); }
    // Whether a drag is under way on a point of the current grid.
    bool holdsPoint() const noexcept;
    // Starts dragging point i, reached from screen position (x, y).
    void pick(std::int32_t i, std::int32_t x, std::int32_t y);
    // The move of a point dragged alone to picture position (px, py).
    DragStep moveAlone(std::int64_t px, std::int64_t py);
    // Marks what point i's elements of the overlay cover, as they stand.
    void markPoint(std::int32_t i);

    ControlGrid& grid_;
    const PictureBuffers& picture_;
    ChangeRegion& changes_;
    bool dragging_ = false;
    std::int32_t dragIndex_ = 0;
    std::int32_t dragOffsetX_ = 0;
    std::int32_t dragOffsetY_ = 0;
    std::int32_t pressX_ = 0, pressY_ = 0; // the press, in screen pixels
    bool group_ = false;                   // the drag moves the selection
    PointGroup members_;
    Zoom zoom_;
};

} // namespace plexor
