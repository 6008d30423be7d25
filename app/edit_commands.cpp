// The Edit menu: undo and redo, and how the other commands record their
// edits in the history.

#include <chrono>
#include <new>

#include "app/main_commands.h"
#include "editor/draw_overlay.h"
#include "engine/cell_footprint.h"

namespace plexor {

void MainCommands::WaitForWorker()
{
    if (!worker_) return;
    while (!worker_->Idle()) worker_->ServeNextCall(std::chrono::milliseconds(5));
}

std::size_t MainCommands::HistoryBudget() const
{
    return history_.Budget(model_.AvailableMemory ? model_.AvailableMemory() : std::uint64_t{1} << 40);
}

void MainCommands::BeginEdit()
{
    WaitForWorker();
    CloseEdit();
}

void MainCommands::StartDragEdit()
{
    try {
        EditStep step;
        step.Name = "Drag";
        step.PixelsBefore.Reset(model_.ImageWidth, model_.ImageHeight);
        openGrid_ = model_.SnapshotGrid();
        open_ = std::move(step);
    } catch (const std::bad_alloc&) {
        history_.Clear();
    }
}

void MainCommands::KeepBeforeCellsAround(std::int32_t c, std::int32_t r)
{
    // Cells the drag queued before may already be deformed; whatever they
    // could write was kept when they were queued, and a tile is kept once.
    TCellRef cells[16];
    const std::size_t count = CellsAround(model_.Grid(), c, r, cells);
    try {
        for (std::size_t i = 0; i < count; ++i) {
            const CellFootprint reach = CellReach(model_, cells[i]);
            for (int k = 0; k < reach.Count; ++k) open_->PixelsBefore.Save(model_.WorkImage, reach.Rects[k]);
        }
    } catch (const std::bad_alloc&) {
        open_.reset();
        history_.Clear();
    }
}

std::optional<EditStep> MainCommands::StartWholeEdit(const char* name)
{
    try {
        EditStep step;
        step.Name = name;
        step.GridBefore = model_.SnapshotGrid();
        step.PixelsBefore.Reset(model_.ImageWidth, model_.ImageHeight);
        if (model_.ImageLoaded)
            step.PixelsBefore.Save(model_.WorkImage, PixelRect{0, 0, model_.ImageWidth, model_.ImageHeight});
        step.PixelsBefore.Seal();
        return step;
    } catch (const std::bad_alloc&) {
        history_.Clear();
        return std::nullopt;
    }
}

void MainCommands::FinishWholeEdit(std::optional<EditStep> edit)
{
    if (!edit) return;
    try {
        edit->GridAfter = model_.SnapshotGrid();
    } catch (const std::bad_alloc&) {
        history_.Clear();
        return;
    }
    // A reset of a grid at rest, or the same grid laid again, is no edit.
    if (edit->GridAfter == edit->GridBefore && edit->PixelsBefore.Matches(model_.WorkImage)) return;
    history_.Push(std::move(*edit), HistoryBudget());
}

void MainCommands::CloseEdit()
{
    if (!open_) return;
    EditStep step = std::move(*open_);
    open_.reset();
    try {
        step.PixelsAfter.SaveLike(step.PixelsBefore, model_.WorkImage);
        step.PixelsBefore.Seal();
        for (std::size_t i = 0; i < model_.ControlPoints.size() && i < openGrid_.DX.size(); ++i) {
            const TControlPoint& p = model_.ControlPoints[i];
            if (p.DX != openGrid_.DX[i] || p.DY != openGrid_.DY[i])
                step.Points.push_back({static_cast<std::int32_t>(i), openGrid_.DX[i], openGrid_.DY[i], p.DX, p.DY});
        }
    } catch (const std::bad_alloc&) {
        history_.Clear();
        return;
    }
    // A drag that moved no point and left every pixel as it was is no edit.
    if (step.Points.empty() && step.PixelsAfter.SamePixels(step.PixelsBefore)) return;
    history_.Push(std::move(step), HistoryBudget());
}

void MainCommands::Restore(const EditStep& step, bool before)
{
    const std::optional<GridSnapshot>& grid = before ? step.GridBefore : step.GridAfter;
    {
        WorkerHold hold(model_.Gate);
        if (grid) {
            model_.RestoreGrid(*grid);
            if (before) {
                step.PixelsBefore.Restore(model_.WorkImage, model_.Changes);
            } else {
                // What laying or resetting the grid made: the picture, black
                // outside the grid, deformed again where a grid file moved
                // points.
                model_.CopyPixels(model_.SourceImage, model_.WorkImage);
                model_.BlackOutMargins();
                if (step.DeformAfter) QueueDisplacedCells();
            }
        } else {
            (before ? step.PixelsBefore : step.PixelsAfter).Restore(model_.WorkImage, model_.Changes);
            const std::int32_t cols = model_.PointCols();
            for (const EditStep::PointChange& change : step.Points) {
                const std::int32_t c = change.Index % cols, r = change.Index / cols;
                model_.Changes.Mark(PointOverlayBounds(model_, c, r));
                TControlPoint& p = model_.ControlPoints[static_cast<std::size_t>(change.Index)];
                p.DX = before ? change.BeforeDX : change.AfterDX;
                p.DY = before ? change.BeforeDY : change.AfterDY;
                model_.Changes.Mark(PointOverlayBounds(model_, c, r));
            }
        }
    }
    Refresh();
}

void MainCommands::MIUndoClick()
{
    if (drag_.Dragging()) drag_.EndDrag();
    StepHistory(true);
}

void MainCommands::MIRedoClick()
{
    if (drag_.Dragging()) return; // a drag under way is the latest edit
    StepHistory(false);
}

void MainCommands::StepHistory(bool undo)
{
    WaitForWorker();
    CloseEdit();
    const auto restore = [this, undo](const EditStep& step) { Restore(step, undo); };
    if (undo)
        history_.Undo(restore);
    else
        history_.Redo(restore);
}

std::optional<std::string> MainCommands::UndoText() const
{
    if (model_.Dragging || open_) return std::string("Undo Drag");
    if (!history_.CanUndo()) return std::nullopt;
    return "Undo " + history_.UndoName();
}

std::optional<std::string> MainCommands::RedoText() const
{
    if (model_.Dragging || open_ || !history_.CanRedo()) return std::nullopt;
    return "Redo " + history_.RedoName();
}

} // namespace plexor
