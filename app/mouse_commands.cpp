#include "app/mouse_commands.h"

#include "editor/point_hit.h"

namespace plexor {

void MouseCommands::press(std::int32_t x, std::int32_t y, KeyModifiers keys)
{
    // A drag is an edit: the edits before it finish first. A second button
    // ends the drag under way, as a release does.
    if (drag_.dragging()) endDrag();
    selecting_.cancel();
    if (keys.control) {
        // Choosing points is no edit: nothing waits for it.
        selecting_.setZoom(view_.currentZoom());
        selecting_.press(x, y);
        view_.refresh();
        window_.captureMouse();
        showReadout(x, y);
        return;
    }
    if (picture_.hasPicture() && grid_.exists()) {
        worker_.waitUntilIdle();
        history_.closeEdit();
    }
    drag_.setZoom(view_.currentZoom());
    if (drag_.press(x, y)) {
        view_.refresh();
        window_.captureMouse();
    }
    if (drag_.dragging())
        history_.startPointsEdit(drag_.groupDragging() ? PointsEditKind::MovePoints : PointsEditKind::Drag);
    showReadout(x, y);
}

void MouseCommands::move(std::int32_t x, std::int32_t y, KeyModifiers keys)
{
    if (selecting_.active()) {
        selecting_.setZoom(view_.currentZoom());
        selecting_.move(x, y);
        view_.refresh();
    } else if (drag_.dragging()) {
        drag_.setZoom(view_.currentZoom());
        const DragStep step = drag_.move(x, y, keys.shift);
        queue(step);
        if (step.moved) live_.follow(drag_);
        view_.refresh();
    }
    showReadout(x, y);
}

void MouseCommands::release(std::int32_t x, std::int32_t y, KeyModifiers)
{
    if (selecting_.active()) {
        selecting_.setZoom(view_.currentZoom());
        selecting_.release(x, y);
        view_.refresh();
        window_.releaseMouseCapture();
    } else {
        drag_.setZoom(view_.currentZoom());
        finishDrag();
    }
    showReadout(x, y);
}

void MouseCommands::endDrag()
{
    if (drag_.dragging()) finishDrag();
}

void MouseCommands::finishDrag()
{
    const bool held = drag_.dragging() && picture_.hasPicture() && grid_.exists();
    const DragStep step = drag_.release();
    queue(step);
    live_.released(step.queueAround >= 0 || !step.batch.empty());
    if (held) view_.refresh();
    window_.releaseMouseCapture();
}

void MouseCommands::queue(const DragStep& step)
{
    const std::int32_t cols = grid_.shape().pointCols;
    if (step.queueAround >= 0) history_.queueCellsAround(step.queueAround % cols, step.queueAround / cols);
    if (!step.batch.empty()) history_.queueBatch(step.batch);
}

void MouseCommands::showReadout(std::int32_t x, std::int32_t y)
{
    std::string text;
    if (picture_.hasPicture() && grid_.exists()) {
        const std::int32_t i = drag_.dragging() ? drag_.dragIndex() : pointUnder(grid_, view_.currentZoom(), x, y);
        if (i >= 0) {
            const ControlPoint& p = grid_.points()[static_cast<std::size_t>(i)];
            const std::int32_t cols = grid_.shape().pointCols;
            text = "Point " + std::to_string(i % cols) + ", " + std::to_string(i / cols) + " moved " +
                   std::to_string(p.dx) + ", " + std::to_string(p.dy);
        }
    }
    if (text == readout_) return;
    readout_ = text;
    window_.showPointReadout(readout_);
}

} // namespace plexor
