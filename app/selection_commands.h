#pragma once

#include <cstdint>

#include "app/history_commands.h"
#include "app/view_commands.h"
#include "editor/drag.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// Edit > Select all and Select none, which choose the points that move
// together, and the arrow keys, which nudge the points chosen. Choosing is
// no edit. A nudge is: it moves every chosen point at once, within the
// limits of a group drag, and queues their batch; the nudges of one choice
// that follow each other make one edit ("Nudge").
class SelectionCommands {
public:
    SelectionCommands(ControlGrid& grid, const PictureBuffers& picture, CellWork& work, ViewCommands& view,
                      HistoryCommands& history, const ControlPointDrag& drag) noexcept
        : grid_(grid), picture_(picture), work_(work), view_(view), history_(history), drag_(drag)
    {}

    void selectAll();
    void selectNone();
    bool canSelectAll() const noexcept;
    bool canSelectNone() const noexcept { return !grid_.selection().empty(); }

    // An arrow key: (dx, dy) pixels of the picture, ten a key with Shift.
    // Nothing while a drag is under way, without a choice, or when no
    // chosen point can move that way.
    void nudge(std::int32_t dx, std::int32_t dy);

private:
    ControlGrid& grid_;
    const PictureBuffers& picture_;
    CellWork& work_;
    ViewCommands& view_;
    HistoryCommands& history_;
    const ControlPointDrag& drag_;
};

} // namespace plexor
