#pragma once

#include <cstdint>
#include <string>

#include "app/history_commands.h"
#include "app/live_frames.h"
#include "app/view_commands.h"
#include "app/window_ports.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "editor/selection_gesture.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The keys held with a press or a move of the mouse.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
};

// The mouse on the picture, at screen positions of the picture as shown: a
// press picks a point (or the points chosen) and starts a drag, which is an
// edit; moves drag it, on one axis while Shift is held; the release ends it.
// Each asks the drag what it changed, has the worker deform the cells the
// drag leaves it, asks for the live frame of a move that changed something,
// and refreshes once. A press with Ctrl chooses points
// instead (SelectionGesture), which is no edit. The status bar follows the
// point being dragged, or else the point within reach of the pointer: its
// column, row and displacement.
class MouseCommands {
public:
    MouseCommands(ControlGrid& grid, const PictureBuffers& picture, CellWork& work, WorkerControl& worker,
                  ViewCommands& view, HistoryCommands& history, ControlPointDrag& drag, LiveFrames& live,
                  WindowPorts& window) noexcept
        : grid_(grid), picture_(picture), worker_(worker), view_(view), history_(history), drag_(drag), live_(live),
          window_(window), selecting_(grid, picture, work.changes())
    {}

    void press(std::int32_t x, std::int32_t y, KeyModifiers keys = {});
    void move(std::int32_t x, std::int32_t y, KeyModifiers keys = {});
    void release(std::int32_t x, std::int32_t y, KeyModifiers keys = {});
    // Ends a drag under way as a release does: for the commands that replace
    // the grid or the picture, or take the drag back.
    void endDrag();

    // The drag these moves drive.
    const ControlPointDrag& drag() const noexcept { return drag_; }
    // What the status bar says of the point under the pointer or dragged.
    const std::string& readout() const noexcept { return readout_; }

private:
    // Ends the drag, if any, queues what it leaves, and gives the mouse back.
    void finishDrag();
    // Has the worker deform what a step of the drag leaves it.
    void queue(const DragStep& step);
    // Shows the point being dragged, or the one within reach of (x, y).
    void showReadout(std::int32_t x, std::int32_t y);

    const ControlGrid& grid_;
    const PictureBuffers& picture_;
    WorkerControl& worker_;
    ViewCommands& view_;
    HistoryCommands& history_;
    ControlPointDrag& drag_;
    LiveFrames& live_;
    WindowPorts& window_;
    SelectionGesture selecting_;
    std::string readout_;
};

} // namespace plexor
