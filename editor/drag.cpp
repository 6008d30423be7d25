#include "editor/drag.h"

#include <cassert>
#include <cstddef>

#include "editor/draw_overlay.h"

namespace plexor {
namespace {

// Pointer offsets below this, in x and in y, reach a point.
constexpr std::int64_t kPickReach = 5;

std::int64_t Abs(std::int64_t v) noexcept
{
    return v < 0 ? -v : v;
}
std::int32_t Sign(std::int64_t v) noexcept
{
    return (v > 0) - (v < 0);
}

// Whether a move by `v` along one axis leads to an interior neighbour, given
// whether there is one before (`lower`) and after (`higher`) the point.
bool TowardsInterior(std::int64_t v, bool lower, bool higher) noexcept
{
    return v < 0 ? lower : v > 0 ? higher : false;
}

} // namespace

bool ControlPointDrag::HoldsPoint() const noexcept
{
    // A drag ends before its grid goes, so the index is always a point of it.
    assert(!model_.Dragging || static_cast<std::size_t>(dragIndex_) < model_.ControlPoints.size());
    return model_.Dragging && HasPictureAndGrid();
}

void ControlPointDrag::Pick(std::int32_t x, std::int32_t y)
{
    const std::int32_t cols = model_.PointCols();
    const std::int32_t rows = model_.PointRows();
    for (std::int32_t r = 1; r < rows - 1; ++r) {
        for (std::int32_t c = 1; c < cols - 1; ++c) {
            TControlPoint& p = model_.Point(c, r);
            const std::int64_t shownX = std::int64_t{p.X} + p.DX;
            const std::int64_t shownY = std::int64_t{p.Y} + p.DY;
            if (Abs(x - zoom_.ToScreen(shownX)) < kPickReach && Abs(y - zoom_.ToScreen(shownY)) < kPickReach) {
                dragIndex_ = c + r * cols;
                dragOffsetX_ = static_cast<std::int32_t>(zoom_.ToPicture(x) - shownX);
                dragOffsetY_ = static_cast<std::int32_t>(zoom_.ToPicture(y) - shownY);
                p.Selected = 1;
                model_.Dragging = true;
                MarkPoint(dragIndex_);
                return;
            }
        }
    }
}

void ControlPointDrag::MarkPoint(std::int32_t i)
{
    model_.Changes.Mark(PointOverlayBounds(model_, i % model_.PointCols(), i / model_.PointCols()));
}

void ControlPointDrag::ImageMouseDown(std::int32_t x, std::int32_t y)
{
    if (!HasPictureAndGrid()) return;
    // A press of another button while a drag is under way: that drag ends
    // first, so its cells are queued and its point is no longer picked.
    if (model_.Dragging) EndDrag();
    Pick(x, y);
    host_.Refresh();
    host_.SetCapture();
}

void ControlPointDrag::ImageMouseMove(std::int32_t x, std::int32_t y)
{
    if (!HoldsPoint()) return;
    const std::int32_t cols = model_.PointCols();
    const std::int32_t rows = model_.PointRows();
    const std::int32_t col = dragIndex_ % cols;
    const std::int32_t row = dragIndex_ / cols;
    TControlPoint& p = model_.ControlPoints[static_cast<std::size_t>(dragIndex_)];

    // The displacement that puts the point at the pointer minus the grab
    // offset.
    const std::int64_t ndx = zoom_.ToPicture(x) - dragOffsetX_ - p.X;
    const std::int64_t ndy = zoom_.ToPicture(y) - dragOffsetY_ - p.Y;
    const std::int32_t sx = Sign(ndx);
    const std::int32_t sy = Sign(ndy);
    const bool left = col > 1, right = col < cols - 2;
    const bool up = row > 1, down = row < rows - 2;

    bool handedOver = false;
    if (Abs(ndx) >= model_.GridStepX) {
        if (TowardsInterior(ndx, left, right)) {
            MarkPoint(dragIndex_);
            p.Selected = 0;
            if (Abs(ndy) > model_.GridStepY / 2 && TowardsInterior(ndy, up, down)) dragIndex_ += sy * cols;
            dragIndex_ += sx;
            handedOver = true;
        }
    } else if (Abs(ndy) >= model_.GridStepY) {
        if (TowardsInterior(ndy, up, down)) {
            MarkPoint(dragIndex_);
            p.Selected = 0;
            if (Abs(ndx) > model_.GridStepX / 2 && TowardsInterior(ndx, left, right)) dragIndex_ += sx;
            dragIndex_ += sy * cols;
            handedOver = true;
        }
    } else {
        const std::int64_t shownX = p.X + ndx;
        const std::int64_t shownY = p.Y + ndy;
        if (shownX >= 0 && shownX < model_.ImageWidth && shownY >= 0 && shownY < model_.ImageHeight &&
            (ndx != p.DX || ndy != p.DY)) {
            MarkPoint(dragIndex_);
            p.DX = static_cast<std::int32_t>(ndx);
            p.DY = static_cast<std::int32_t>(ndy);
            MarkPoint(dragIndex_);
        }
    }
    if (handedOver) host_.QueueCellsAround(dragIndex_ % cols, dragIndex_ / cols);
    host_.Refresh();
}

void ControlPointDrag::ImageMouseUp(std::int32_t, std::int32_t)
{
    EndDrag();
}

void ControlPointDrag::EndDrag()
{
    if (HoldsPoint()) {
        const std::int32_t cols = model_.PointCols();
        MarkPoint(dragIndex_);
        model_.ControlPoints[static_cast<std::size_t>(dragIndex_)].Selected = 0;
        host_.QueueCellsAround(dragIndex_ % cols, dragIndex_ / cols);
        host_.Refresh();
    }
    model_.Dragging = false;
    host_.ReleaseCapture();
}

} // namespace plexor
