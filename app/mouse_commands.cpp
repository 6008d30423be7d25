#include "app/mouse_commands.h"

namespace plexor {

void MouseCommands::press(std::int32_t x, std::int32_t y)
{
    // A drag is an edit: the edits before it finish first. A second button
    // ends the drag under way, as a release does.
    if (drag_.dragging()) drag_.endDrag();
    if (model_.imageLoaded() && model_.gridExists()) {
        worker_.waitUntilIdle();
        history_.closeEdit();
    }
    drag_.setZoom(view_.currentZoom());
    drag_.mousePress(x, y);
    if (drag_.dragging()) history_.startDragEdit();
}

void MouseCommands::move(std::int32_t x, std::int32_t y)
{
    drag_.setZoom(view_.currentZoom());
    drag_.mouseMove(x, y);
}

void MouseCommands::release(std::int32_t x, std::int32_t y)
{
    drag_.setZoom(view_.currentZoom());
    drag_.mouseRelease(x, y);
}

} // namespace plexor
