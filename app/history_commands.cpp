#include "app/history_commands.h"

#include <new>

#include "editor/draw_overlay.h"
#include "engine/cell_footprint.h"

namespace plexor {
namespace {

// The whole of `image` and its alpha kept in `tiles`, sealed.
void keepWhole(TileStore& tiles, const DeformModel& model, const ByteBuffer& image, const ByteBuffer& alpha)
{
    tiles.reset(model.imageWidth(), model.imageHeight(), model.hasAlpha());
    if (model.imageLoaded()) tiles.save(image, alpha, PixelRect{0, 0, model.imageWidth(), model.imageHeight()});
    tiles.seal();
}

} // namespace

std::size_t HistoryCommands::budget() const
{
    return history_.budget(model_.availableMemory());
}

void HistoryCommands::beginEdit()
{
    worker_.waitUntilIdle();
    closeEdit();
}

void HistoryCommands::startDragEdit(const char* name)
{
    nudging_.reset();
    try {
        EditStep step;
        step.name = name;
        step.pixelsBefore.reset(model_.imageWidth(), model_.imageHeight(), model_.hasAlpha());
        openGrid_ = model_.snapshotGrid();
        open_ = std::move(step);
    } catch (const std::bad_alloc&) {
        history_.clear();
    }
}

void HistoryCommands::beginNudge(std::uint64_t generation)
{
    if (open_ && nudging_ == generation) return;
    beginEdit();
    startDragEdit("Nudge");
    if (open_) nudging_ = generation;
}

void HistoryCommands::keepBeforeCells(std::span<const CellRef> cells)
{
    if (!open_) return;
    // Cells the edit queued before may already be deformed; whatever they
    // could write was kept when they were queued, and a tile is kept once.
    try {
        for (const CellRef& cell : cells) {
            const CellFootprint reach = cellReach(model_, cell);
            for (int k = 0; k < reach.count; ++k)
                open_->pixelsBefore.save(model_.workImage(), model_.workAlpha(), reach.rects[k]);
        }
    } catch (const std::bad_alloc&) {
        open_.reset();
        nudging_.reset();
        history_.clear();
    }
}

void HistoryCommands::keepBeforeCellsAround(std::int32_t c, std::int32_t r)
{
    CellRef cells[16];
    const std::size_t count = cellsAround(model_.grid(), c, r, cells);
    keepBeforeCells(std::span<const CellRef>(cells, count));
}

std::optional<EditStep> HistoryCommands::startWholeEdit(const char* name, bool changesSource)
{
    try {
        EditStep step;
        step.name = name;
        step.gridBefore = model_.snapshotGrid();
        keepWhole(step.pixelsBefore, model_, model_.workImage(), model_.workAlpha());
        if (changesSource) {
            keepWhole(step.sourceBefore, model_, model_.sourceImage(), model_.sourceAlpha());
            step.passesBefore = model_.passes().list();
        }
        return step;
    } catch (const std::bad_alloc&) {
        history_.clear();
        return std::nullopt;
    }
}

void HistoryCommands::finishWholeEdit(std::optional<EditStep> edit, bool keepSourceAfter)
{
    if (!edit) return;
    try {
        edit->gridAfter = model_.snapshotGrid();
        if (edit->passesBefore) edit->passesAfter = model_.passes().list();
        if (edit->passesBefore && keepSourceAfter)
            keepWhole(edit->sourceAfter, model_, model_.sourceImage(), model_.sourceAlpha());
    } catch (const std::bad_alloc&) {
        history_.clear();
        return;
    }
    // A reset of a grid at rest, or the same grid laid again, is no edit.
    if (!edit->passesBefore && edit->gridAfter == edit->gridBefore &&
        edit->pixelsBefore.matches(model_.workImage(), model_.workAlpha()))
        return;
    history_.push(std::move(*edit), budget());
}

void HistoryCommands::closeEdit()
{
    if (!open_) return;
    EditStep step = std::move(*open_);
    open_.reset();
    nudging_.reset();
    try {
        step.pixelsAfter.saveLike(step.pixelsBefore, model_.workImage(), model_.workAlpha());
        step.pixelsBefore.seal();
        for (std::size_t i = 0; i < model_.points().size() && i < openGrid_.dx.size(); ++i) {
            const ControlPoint& p = model_.points()[i];
            if (p.dx != openGrid_.dx[i] || p.dy != openGrid_.dy[i])
                step.points.push_back({static_cast<std::int32_t>(i), openGrid_.dx[i], openGrid_.dy[i], p.dx, p.dy});
        }
    } catch (const std::bad_alloc&) {
        history_.clear();
        return;
    }
    // A drag that moved no point and left every pixel as it was is no edit.
    if (step.points.empty() && step.pixelsAfter.samePixels(step.pixelsBefore)) return;
    history_.push(std::move(step), budget());
}

void HistoryCommands::restore(const EditStep& step, bool before)
{
    const std::optional<GridSnapshot>& grid = before ? step.gridBefore : step.gridAfter;
    {
        WorkerHold hold(model_.gate());
        if (grid) {
            model_.restoreGrid(*grid);
            if (step.passesBefore) model_.passes().setList(before ? *step.passesBefore : *step.passesAfter);
            if (before) {
                step.pixelsBefore.restore(model_.workImage(), model_.workAlpha(), model_.changes());
                if (step.passesBefore)
                    step.sourceBefore.restore(model_.sourceImage(), model_.sourceAlpha(), model_.changes());
            } else {
                // What laying or resetting the grid made: the starting
                // picture, black outside the grid, deformed again where a
                // grid file moved points.
                if (step.passesBefore)
                    (step.sourceAfter.empty() ? step.pixelsBefore : step.sourceAfter)
                        .restore(model_.sourceImage(), model_.sourceAlpha(), model_.changes());
                model_.restoreWorkImage();
                model_.blackOutMargins();
                if (step.deformAfter) worker_.queueDisplacedCells();
            }
        } else {
            (before ? step.pixelsBefore : step.pixelsAfter)
                .restore(model_.workImage(), model_.workAlpha(), model_.changes());
            const std::int32_t cols = model_.grid().pointCols;
            for (const EditStep::PointChange& change : step.points) {
                const std::int32_t c = change.index % cols, r = change.index / cols;
                model_.changes().mark(pointOverlayBounds(model_, c, r));
                ControlPoint& p = model_.points()[static_cast<std::size_t>(change.index)];
                p.dx = before ? change.beforeDX : change.afterDX;
                p.dy = before ? change.beforeDY : change.afterDY;
                model_.changes().mark(pointOverlayBounds(model_, c, r));
            }
        }
    }
    view_.refresh();
}

void HistoryCommands::undo()
{
    if (drag_.dragging()) drag_.endDrag();
    stepHistory(true);
}

void HistoryCommands::redo()
{
    if (drag_.dragging()) return; // a drag under way is the latest edit
    stepHistory(false);
}

void HistoryCommands::stepHistory(bool undo)
{
    worker_.waitUntilIdle();
    closeEdit();
    const auto restoreStep = [this, undo](const EditStep& step) { restore(step, undo); };
    if (undo)
        history_.undo(restoreStep);
    else
        history_.redo(restoreStep);
}

void HistoryCommands::startAfresh() noexcept
{
    open_.reset();
    nudging_.reset();
    history_.clear();
    history_.markClean();
}

bool HistoryCommands::modified() const
{
    if (!history_.isClean()) return true;
    if (!open_) return false;
    // A drag under way or not yet recorded counts once it has moved a point.
    const std::span<const ControlPoint> points = model_.points();
    for (std::size_t i = 0; i < points.size() && i < openGrid_.dx.size(); ++i)
        if (points[i].dx != openGrid_.dx[i] || points[i].dy != openGrid_.dy[i]) return true;
    return false;
}

void HistoryCommands::settle()
{
    worker_.waitUntilIdle();
    closeEdit();
}

std::optional<std::string> HistoryCommands::undoText() const
{
    if (open_) return "Undo " + open_->name;
    if (model_.dragging()) return std::string("Undo Drag");
    if (!history_.canUndo()) return std::nullopt;
    return "Undo " + history_.undoName();
}

std::optional<std::string> HistoryCommands::redoText() const
{
    if (model_.dragging() || open_ || !history_.canRedo()) return std::nullopt;
    return "Redo " + history_.redoName();
}

} // namespace plexor
