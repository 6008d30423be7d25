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
    assert(!dragging_ || static_cast<std::size_t>(dragIndex_) < grid_.points().size());
    return dragging_ && hasPictureAndGrid();
}

void ControlPointDrag::pick(std::int32_t i, std::int32_t x, std::int32_t y)
{
    const ControlPoint& p = grid_.points()[static_cast<std::size_t>(i)];
    dragIndex_ = i;
    dragOffsetX_ = static_cast<std::int32_t>(zoom_.toPicture(x) - (std::int64_t{p.x} + p.dx));
    dragOffsetY_ = static_cast<std::int32_t>(zoom_.toPicture(y) - (std::int64_t{p.y} + p.dy));
    dragging_ = true;
    if (group_) return;
    grid_.setPicked(static_cast<std::size_t>(i), true);
    markPoint(dragIndex_);
}

void ControlPointDrag::markPoint(std::int32_t i)
{
    changes_.mark(pointOverlayBounds(grid_, i % grid_.shape().pointCols, i / grid_.shape().pointCols));
}

bool ControlPointDrag::press(std::int32_t x, std::int32_t y)
{
    assert(!dragging_);
    if (!hasPictureAndGrid()) return false;
    group_ = false;
    pressX_ = x;
    pressY_ = y;
    const std::int32_t i = pointUnderLiteral(grid_, zoom_, x, y);
    if (i >= 0) {
        const PointSelection& selection = grid_.selection();
        const bool selected = selection.contains(static_cast<std::size_t>(i));
        group_ = selected && selection.size() >= 2;
        if (group_) members_.form(grid_, picture_.width(), picture_.height(), selection.members());
        if (!selected) selectNoPoints(grid_, changes_);
        pick(i, x, y);
    }
    return true;
}

DragStep ControlPointDrag::move(std::int32_t x, std::int32_t y, bool lockAxis)
{
    if (!holdsPoint()) return {};
    std::int64_t px = x, py = y;
    if (lockAxis) {
        if (abs(px - pressX_) >= abs(py - pressY_))
            py = pressY_;
        else
            px = pressX_;
    }
    if (group_) {
        DragStep step;
        step.moved = members_.moveTo(grid_, changes_, zoom_.toPicture(px) - zoom_.toPicture(pressX_),
                                     zoom_.toPicture(py) - zoom_.toPicture(pressY_));
        return step;
    }
    return moveAlone(zoom_.toPicture(px), zoom_.toPicture(py));
}

DragStep ControlPointDrag::moveAlone(std::int64_t px, std::int64_t py)
{
    const std::int32_t cols = grid_.shape().pointCols;
    const std::int32_t rows = grid_.shape().pointRows;
    const std::int32_t col = dragIndex_ % cols;
    const std::int32_t row = dragIndex_ / cols;
    const auto index = static_cast<std::size_t>(dragIndex_);
    const ControlPoint& p = grid_.points()[index];
    const std::int32_t step = grid_.step();

    // The displacement that puts the point at the pointer minus the grab
    // offset.
    const std::int64_t ndx = px - dragOffsetX_ - p.x;
    const std::int64_t ndy = py - dragOffsetY_ - p.y;
    const std::int32_t sx = sign(ndx);
    const std::int32_t sy = sign(ndy);
    const bool left = col > 1, right = col < cols - 2;
    const bool up = row > 1, down = row < rows - 2;

    DragStep result;
    bool handedOver = false;
    if (abs(ndx) >= step) {
        if (towardsInterior(ndx, left, right)) {
            markPoint(dragIndex_);
            grid_.setPicked(index, false);
            if (abs(ndy) > step / 2 && towardsInterior(ndy, up, down)) dragIndex_ += sy * cols;
            dragIndex_ += sx;
            handedOver = true;
        }
    } else if (abs(ndy) >= step) {
        if (towardsInterior(ndy, up, down)) {
            markPoint(dragIndex_);
            grid_.setPicked(index, false);
            if (abs(ndx) > step / 2 && towardsInterior(ndx, left, right)) dragIndex_ += sx;
            dragIndex_ += sy * cols;
            handedOver = true;
        }
    } else {
        const std::int64_t shownX = p.x + ndx;
        const std::int64_t shownY = p.y + ndy;
        if (shownX >= 0 && shownX < picture_.width() && shownY >= 0 && shownY < picture_.height() &&
            (ndx != p.dx || ndy != p.dy)) {
            markPoint(dragIndex_);
            grid_.displace(index, static_cast<std::int32_t>(ndx), static_cast<std::int32_t>(ndy));
            markPoint(dragIndex_);
            result.moved = true;
        }
    }
    if (handedOver) {
        result.queueAround = dragIndex_;
        result.moved = true;
    }
    return result;
}

DragStep ControlPointDrag::release()
{
    DragStep step;
    if (holdsPoint() && group_) {
        step.batch = members_.cells(grid_.shape());
    } else if (holdsPoint()) {
        markPoint(dragIndex_);
        grid_.setPicked(static_cast<std::size_t>(dragIndex_), false);
        step.queueAround = dragIndex_;
    }
    group_ = false;
    dragging_ = false;
    return step;
}

} // namespace plexor
