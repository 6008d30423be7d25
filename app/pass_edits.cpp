#include "app/pass_edits.h"

#include "app/worker_control.h"

namespace plexor {

void PassOverResultEdit::undo(EditTarget& target) const
{
    GridEdit::undo(target);
    source_.undo(target);
}

void PassOverResultEdit::redo(EditTarget& target) const
{
    source_.redo(target, workBefore());
    GridEdit::redo(target);
}

void GridFileEdit::undo(EditTarget& target) const
{
    GridEdit::undo(target);
    if (source_) source_->undo(target);
}

void GridFileEdit::redo(EditTarget& target) const
{
    if (source_) source_->redo(target, workBefore());
    GridEdit::redo(target);
    target.worker.queueDisplacedCells();
}

} // namespace plexor
