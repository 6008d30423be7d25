#include "app/mouse_commands.h"

#include "editor/point_hit.h"

namespace plexor {

void MouseCommands::press(std::int32_t x, std::int32_t y, KeyModifiers keys)
{
    // A drag is an edit: the edits before it finish first. A second button
    // ends the drag under way, as a release does.
    if (drag_.dragging()) drag_.endDrag();
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
    if (model_.imageLoaded() && model_.gridExists()) {
        worker_.waitUntilIdle();
        history_.closeEdit();
    }
    drag_.setZoom(view_.currentZoom());
    drag_.mousePress(x, y);
    if (drag_.dragging()) history_.startDragEdit(drag_.groupDragging() ? "Move Points" : "Drag");
    showReadout(x, y);
}

void MouseCommands::move(std::int32_t x, std::int32_t y, KeyModifiers keys)
{
    if (selecting_.active()) {
        selecting_.setZoom(view_.currentZoom());
        selecting_.move(x, y);
        view_.refresh();
    } else {
        drag_.setZoom(view_.currentZoom());
        drag_.mouseMove(x, y, keys.shift);
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
        drag_.mouseRelease(x, y);
    }
    showReadout(x, y);
}

void MouseCommands::showReadout(std::int32_t x, std::int32_t y)
{
    std::string text;
    if (model_.imageLoaded() && model_.gridExists()) {
        const std::int32_t i = drag_.dragging() ? drag_.dragIndex() : pointUnder(model_, view_.currentZoom(), x, y);
        if (i >= 0) {
            const ControlPoint& p = model_.points()[static_cast<std::size_t>(i)];
            const std::int32_t cols = model_.grid().pointCols;
            text = "Point " + std::to_string(i % cols) + ", " + std::to_string(i / cols) + " moved " +
                   std::to_string(p.dx) + ", " + std::to_string(p.dy);
        }
    }
    if (text == readout_) return;
    readout_ = text;
    window_.showPointReadout(readout_);
}

} // namespace plexor
