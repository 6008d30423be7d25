#include "editor/drag.h"

#include <cassert>
#include <cstddef>

#include "editor/draw_overlay.h"
#include "editor/point_hit.h"
#include "editor/selection_gesture.h"

namespace plexor {
namespace {

std::int64_t abs(std::int64_t v) noexcept
{
    return v < 0 ? -v : v;
}
std::int32_t sign(std::int64_t v) noexcept
{
    return (v > 0) - (v < 0);
}

// Whether a move by `v` along one axis leads to an interior neighbour, given
// whether there is one before (`lower`) and after (`higher`) the point.
bool towardsInterior(std::int64_t v, bool lower, bool higher) noexcept
{
    return v < 0 ? lower : v > 0 ? higher : false;
}

} // namespace

bool ControlPointDrag::holdsPoint() const noexcept
{
    // A drag ends before its grid goes, so the index is always a point of it.
    assert(!model_.dragging() || static_cast<std::size_t>(dragIndex_) < model_.points().size());
    return model_.dragging() && hasPictureAndGrid();
}

void ControlPointDrag::pick(std::int32_t i, std::int32_t x, std::int32_t y)
{
    ControlPoint& p = model_.points()[static_cast<std::size_t>(i)];
    dragIndex_ = i;
    dragOffsetX_ = static_cast<std::int32_t>(zoom_.toPicture(x) - (std::int64_t{p.x} + p.dx));
    dragOffsetY_ = static_cast<std::int32_t>(zoom_.toPicture(y) - (std::int64_t{p.y} + p.dy));
    model_.setDragging(true);
    if (group_) return;
    p.picked = 1;
    markPoint(dragIndex_);
}

void ControlPointDrag::markPoint(std::int32_t i)
{
    model_.changes().mark(pointOverlayBounds(model_, i % model_.grid().pointCols, i / model_.grid().pointCols));
}

void ControlPointDrag::mousePress(std::int32_t x, std::int32_t y)
{
    if (!hasPictureAndGrid()) return;
    // A press of another button while a drag is under way: that drag ends
    // first, so its cells are queued and its point is no longer picked.
    if (model_.dragging()) endDrag();
    group_ = false;
    pressX_ = x;
    pressY_ = y;
    const std::int32_t i = pointUnderLiteral(model_, zoom_, x, y);
    if (i >= 0) {
        const PointSelection& selection = model_.selection();
        const bool selected = selection.contains(static_cast<std::size_t>(i));
        group_ = selected && selection.size() >= 2;
        if (group_) members_.form(model_, selection.members());
        if (!selected) selectNoPoints(model_);
        pick(i, x, y);
    }
    host_.refresh();
    host_.captureMouse();
}

void ControlPointDrag::mouseMove(std::int32_t x, std::int32_t y, bool lockAxis)
{
    if (!holdsPoint()) return;
    std::int64_t px = x, py = y;
    if (lockAxis) {
        if (abs(px - pressX_) >= abs(py - pressY_))
            py = pressY_;
        else
            px = pressX_;
    }
    if (group_) {
        members_.moveTo(model_, zoom_.toPicture(px) - zoom_.toPicture(pressX_),
                        zoom_.toPicture(py) - zoom_.toPicture(pressY_));
        host_.refresh();
        return;
    }
    moveAlone(zoom_.toPicture(px), zoom_.toPicture(py));
}

void ControlPointDrag::moveAlone(std::int64_t px, std::int64_t py)
{
    const std::int32_t cols = model_.grid().pointCols;
    const std::int32_t rows = model_.grid().pointRows;
    const std::int32_t col = dragIndex_ % cols;
    const std::int32_t row = dragIndex_ / cols;
    ControlPoint& p = model_.points()[static_cast<std::size_t>(dragIndex_)];

    // The displacement that puts the point at the pointer minus the grab
    // offset.
    const std::int64_t ndx = px - dragOffsetX_ - p.x;
    const std::int64_t ndy = py - dragOffsetY_ - p.y;
    const std::int32_t sx = sign(ndx);
    const std::int32_t sy = sign(ndy);
    const bool left = col > 1, right = col < cols - 2;
    const bool up = row > 1, down = row < rows - 2;

    bool handedOver = false;
    if (abs(ndx) >= model_.gridStep()) {
        if (towardsInterior(ndx, left, right)) {
            markPoint(dragIndex_);
            p.picked = 0;
            if (abs(ndy) > model_.gridStep() / 2 && towardsInterior(ndy, up, down)) dragIndex_ += sy * cols;
            dragIndex_ += sx;
            handedOver = true;
        }
    } else if (abs(ndy) >= model_.gridStep()) {
        if (towardsInterior(ndy, up, down)) {
            markPoint(dragIndex_);
            p.picked = 0;
            if (abs(ndx) > model_.gridStep() / 2 && towardsInterior(ndx, left, right)) dragIndex_ += sx;
            dragIndex_ += sy * cols;
            handedOver = true;
        }
    } else {
        const std::int64_t shownX = p.x + ndx;
        const std::int64_t shownY = p.y + ndy;
        if (shownX >= 0 && shownX < model_.imageWidth() && shownY >= 0 && shownY < model_.imageHeight() &&
            (ndx != p.dx || ndy != p.dy)) {
            markPoint(dragIndex_);
            p.dx = static_cast<std::int32_t>(ndx);
            p.dy = static_cast<std::int32_t>(ndy);
            markPoint(dragIndex_);
        }
    }
    if (handedOver) host_.queueCellsAround(dragIndex_ % cols, dragIndex_ / cols);
    host_.refresh();
}

void ControlPointDrag::mouseRelease(std::int32_t, std::int32_t)
{
    endDrag();
}

void ControlPointDrag::endDrag()
{
    if (holdsPoint() && group_) {
        const std::vector<CellRef> cells = members_.cells(model_.grid());
        if (!cells.empty()) host_.queueCells(cells);
        host_.refresh();
    } else if (holdsPoint()) {
        const std::int32_t cols = model_.grid().pointCols;
        markPoint(dragIndex_);
        model_.points()[static_cast<std::size_t>(dragIndex_)].picked = 0;
        host_.queueCellsAround(dragIndex_ % cols, dragIndex_ / cols);
        host_.refresh();
    }
    group_ = false;
    model_.setDragging(false);
    host_.releaseMouseCapture();
}

} // namespace plexor
