#include "app/selection_commands.h"

#include "editor/point_group.h"
#include "editor/selection_gesture.h"

namespace plexor {

bool SelectionCommands::canSelectAll() const noexcept
{
    return model_.imageLoaded() && model_.grid().pointCols > 2 && model_.grid().pointRows > 2;
}

void SelectionCommands::selectAll()
{
    selectAllPoints(model_);
    view_.refresh();
}

void SelectionCommands::selectNone()
{
    selectNoPoints(model_);
    view_.refresh();
}

void SelectionCommands::nudge(std::int32_t dx, std::int32_t dy)
{
    if (drag_.dragging() || !model_.imageLoaded() || model_.selection().empty()) return;
    PointGroup group;
    group.form(model_, model_.selection().members());
    if (group.limitX(dx) == 0 && group.limitY(dy) == 0) return;
    history_.beginNudge(model_.selection().generation());
    group.moveTo(model_, dx, dy);
    host_.queueCells(group.cells(model_.grid()));
    view_.refresh();
}

} // namespace plexor
