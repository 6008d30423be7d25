#pragma once

#include <cstdint>
#include <string>

#include "app/history_commands.h"
#include "app/view_commands.h"
#include "app/window_ports.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "editor/selection_gesture.h"
#include "engine/deform_model.h"

namespace plexor {

// The keys held with a press or a move of the mouse.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
};

// The mouse on the picture, at screen positions of the picture as shown: a
// press picks a point (or the points chosen) and starts a drag, which is an
// edit; moves drag it, on one axis while Shift is held; the release ends it.
// A press with Ctrl chooses points instead (SelectionGesture), which is no
// edit. The status bar follows the point being dragged, or else the point
// within reach of the pointer: its column, row and displacement.
class MouseCommands {
public:
    MouseCommands(DeformModel& model, WorkerControl& worker, ViewCommands& view, HistoryCommands& history,
                  ControlPointDrag& drag, WindowPorts& window) noexcept
        : model_(model), worker_(worker), view_(view), history_(history), drag_(drag), window_(window),
          selecting_(model)
    {}

    void press(std::int32_t x, std::int32_t y, KeyModifiers keys = {});
    void move(std::int32_t x, std::int32_t y, KeyModifiers keys = {});
    void release(std::int32_t x, std::int32_t y, KeyModifiers keys = {});

    // What the status bar says of the point under the pointer or dragged.
    const std::string& readout() const noexcept { return readout_; }

private:
    // Shows the point being dragged, or the one within reach of (x, y).
    void showReadout(std::int32_t x, std::int32_t y);

    DeformModel& model_;
    WorkerControl& worker_;
    ViewCommands& view_;
    HistoryCommands& history_;
    ControlPointDrag& drag_;
    WindowPorts& window_;
    SelectionGesture selecting_;
    std::string readout_;
};

} // namespace plexor
