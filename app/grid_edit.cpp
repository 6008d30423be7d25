#include "app/grid_edit.h"

#include "engine/grid_laying.h"

namespace plexor {

void GridEdit::undo(EditTarget& target) const
{
    restoreGrid(target.grid, before_, target.picture, target.work);
    target.picture.restoreWork(workBefore_, target.work.changes());
}

void GridEdit::redo(EditTarget& target) const
{
    restoreGrid(target.grid, after_, target.picture, target.work);
    target.picture.restoreWork();
    target.picture.blackOutMargins(target.grid.shape());
}

std::size_t GridEdit::bytes() const noexcept
{
    return before_.bytes() + after_.bytes() + workBefore_.bytes();
}

bool GridEdit::changesNothing(const PictureBuffers& picture) const
{
    return after_ == before_ && workBefore_.matches(picture.work());
}

} // namespace plexor
