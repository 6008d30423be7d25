#pragma once

#include <cstdint>

#include "app/history_commands.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "engine/deform_model.h"

namespace plexor {

// The mouse on the picture, at screen positions of the picture as shown: a
// press picks a point and starts a drag, which is an edit; moves drag it;
// the release ends it.
class MouseCommands {
public:
    MouseCommands(DeformModel& model, WorkerControl& worker, ViewCommands& view, HistoryCommands& history,
                  ControlPointDrag& drag) noexcept
        : model_(model), worker_(worker), view_(view), history_(history), drag_(drag)
    {}

    void press(std::int32_t x, std::int32_t y);
    void move(std::int32_t x, std::int32_t y);
    void release(std::int32_t x, std::int32_t y);

private:
    DeformModel& model_;
    WorkerControl& worker_;
    ViewCommands& view_;
    HistoryCommands& history_;
    ControlPointDrag& drag_;
};

} // namespace plexor
