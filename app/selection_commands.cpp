#include "app/selection_commands.h"

#include "editor/point_group.h"
#include "editor/selection_gesture.h"

namespace plexor {

bool SelectionCommands::canSelectAll() const noexcept
{
    return picture_.hasPicture() && grid_.shape().pointCols > 2 && grid_.shape().pointRows > 2;
}

void SelectionCommands::selectAll()
{
    selectAllPoints(grid_, work_.changes());
    view_.refresh();
}

void SelectionCommands::selectNone()
{
    selectNoPoints(grid_, work_.changes());
    view_.refresh();
}

void SelectionCommands::nudge(std::int32_t dx, std::int32_t dy)
{
    if (drag_.dragging() || !picture_.hasPicture() || grid_.selection().empty()) return;
    PointGroup group;
    group.form(grid_, picture_.width(), picture_.height(), grid_.selection().members());
    if (group.limitX(dx) == 0 && group.limitY(dy) == 0) return;
    history_.beginNudge(grid_.selection().generation());
    group.moveTo(grid_, work_.changes(), dx, dy);
    history_.queueBatch(group.cells(grid_.shape()));
    view_.refresh();
}

} // namespace plexor
