#include "app/history_commands.h"

#include <new>

#include "app/grid_edit.h"
#include "app/pass_edits.h"
#include "app/points_edit.h"
#include "engine/cell_footprint.h"

namespace plexor {
namespace {

// Empties `tiles` for the picture as it stands: its size, alpha and depth.
void resetFor(TileStore& tiles, const PictureBuffers& picture)
{
    tiles.reset(picture.width(), picture.height(), picture.hasAlpha(), picture.work().deep());
}

// The whole of `planes` kept in `tiles`, sealed.
void keepWhole(TileStore& tiles, const PictureBuffers& picture, const PixelPlanes& planes)
{
    resetFor(tiles, picture);
    if (picture.hasPicture()) tiles.save(planes, PixelRect{0, 0, picture.width(), picture.height()});
    tiles.seal();
}

const char* pointsEditName(PointsEditKind kind) noexcept
{
    switch (kind) {
    case PointsEditKind::MovePoints: return "Move Points";
    case PointsEditKind::Nudge: return "Nudge";
    case PointsEditKind::Drag: break;
    }
    return "Drag";
}

std::unique_ptr<Edit> pointsEdit(PointsEditKind kind, std::vector<PointsEdit::PointChange> points, TileStore before,
                                 TileStore after)
{
    switch (kind) {
    case PointsEditKind::MovePoints:
        return std::make_unique<MovePointsEdit>(std::move(points), std::move(before), std::move(after));
    case PointsEditKind::Nudge:
        return std::make_unique<NudgeEdit>(std::move(points), std::move(before), std::move(after));
    case PointsEditKind::Drag: break;
    }
    return std::make_unique<DragEdit>(std::move(points), std::move(before), std::move(after));
}

} // namespace

std::size_t HistoryCommands::budget() const
{
    return history_.budget(memory_.available());
}

void HistoryCommands::beginEdit()
{
    worker_.waitUntilIdle();
    closeEdit();
}

void HistoryCommands::startPointsEdit(PointsEditKind kind)
{
    nudging_.reset();
    try {
        OpenEdit edit{kind, grid_.snapshot(), TileStore()};
        resetFor(edit.before, picture_);
        open_ = std::move(edit);
    } catch (const std::bad_alloc&) {
        history_.clear();
    }
}

void HistoryCommands::beginNudge(std::uint64_t generation)
{
    if (open_ && nudging_ == generation) return;
    beginEdit();
    startPointsEdit(PointsEditKind::Nudge);
    if (open_) nudging_ = generation;
}

void HistoryCommands::keepBefore(std::span<const CellRef> cells)
{
    if (!open_) return;
    // Cells the edit queued before may already be deformed; whatever they
    // could write was kept when they were queued, and a tile is kept once.
    try {
        for (const CellRef& cell : cells) {
            const CellFootprint reach = cellReach(grid_.shape(), picture_.width(), picture_.height(), cell);
            for (int k = 0; k < reach.count; ++k) open_->before.save(picture_.work(), reach.rects[k]);
        }
    } catch (const std::bad_alloc&) {
        open_.reset();
        nudging_.reset();
        history_.clear();
    }
}

void HistoryCommands::queueCellsAround(std::int32_t c, std::int32_t r)
{
    if (!worker_.running()) return;
    WorkerHold hold(work_.gate());
    CellRef cells[16];
    const std::size_t count = cellsAround(grid_.shape(), c, r, cells);
    keepBefore(std::span<const CellRef>(cells, count));
    worker_.queueCellsAround(c, r);
}

void HistoryCommands::queueBatch(std::span<const CellRef> cells)
{
    if (!worker_.running()) return;
    WorkerHold hold(work_.gate());
    keepBefore(cells);
    worker_.queueBatch(cells);
}

std::optional<GridEditStart> HistoryCommands::startGridEdit(bool changesSource)
{
    try {
        GridEditStart start;
        start.grid = grid_.snapshot();
        keepWhole(start.work, picture_, picture_.work());
        start.changesSource = changesSource;
        if (changesSource) {
            keepWhole(start.source, picture_, picture_.source());
            start.passes = grid_.earlierPasses();
        }
        return start;
    } catch (const std::bad_alloc&) {
        history_.clear();
        return std::nullopt;
    }
}

std::unique_ptr<GridEdit> HistoryCommands::gridEdit(GridEditKind kind, GridEditStart start)
{
    GridEdit grid(std::move(start.grid), grid_.snapshot(), std::move(start.work));
    switch (kind) {
    case GridEditKind::Reset: return std::make_unique<ResetEdit>(std::move(grid));
    case GridEditKind::PassOverResult:
        // The result the new pass starts from is the work plane before it.
        return std::make_unique<PassOverResultEdit>(
            std::move(grid),
            SourceChange(std::move(start.source), TileStore(), std::move(start.passes), grid_.earlierPasses()));
    case GridEditKind::GridFile:
    case GridEditKind::Resampling: {
        std::optional<SourceChange> source;
        if (start.changesSource) {
            TileStore after;
            keepWhole(after, picture_, picture_.source());
            source.emplace(std::move(start.source), std::move(after), std::move(start.passes), grid_.earlierPasses());
        }
        if (kind == GridEditKind::Resampling)
            return std::make_unique<ResamplingEdit>(std::move(grid), std::move(source));
        return std::make_unique<GridFileEdit>(std::move(grid), std::move(source));
    }
    case GridEditKind::Grid: break;
    }
    return std::make_unique<GridEdit>(std::move(grid));
}

void HistoryCommands::finishGridEdit(GridEditKind kind, std::optional<GridEditStart> start)
{
    if (!start) return;
    const bool changesSource = start->changesSource;
    std::unique_ptr<GridEdit> edit;
    try {
        edit = gridEdit(kind, std::move(*start));
    } catch (const std::bad_alloc&) {
        history_.clear();
        return;
    }
    // A reset of a grid at rest, or the same grid laid again, is no edit.
    if (!changesSource && edit->changesNothing(picture_)) return;
    history_.push(std::move(edit), budget());
}

void HistoryCommands::closeEdit()
{
    if (!open_) return;
    OpenEdit open = std::move(*open_);
    open_.reset();
    nudging_.reset();
    std::unique_ptr<Edit> edit;
    try {
        TileStore after;
        after.saveLike(open.before, picture_.work());
        open.before.seal();
        std::vector<PointsEdit::PointChange> points;
        const std::span<const ControlPoint> now = grid_.points();
        for (std::size_t i = 0; i < now.size() && i < open.grid.dx.size(); ++i) {
            const ControlPoint& p = now[i];
            if (p.dx != open.grid.dx[i] || p.dy != open.grid.dy[i])
                points.push_back({static_cast<std::int32_t>(i), open.grid.dx[i], open.grid.dy[i], p.dx, p.dy});
        }
        // A drag that moved no point and left every pixel as it was is no edit.
        if (points.empty() && after.samePixels(open.before)) return;
        edit = pointsEdit(open.kind, std::move(points), std::move(open.before), std::move(after));
    } catch (const std::bad_alloc&) {
        history_.clear();
        return;
    }
    history_.push(std::move(edit), budget());
}

void HistoryCommands::undo()
{
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
    {
        WorkerHold hold(work_.gate());
        EditTarget target{grid_, picture_, work_, worker_};
        if (undo)
            history_.undo(target);
        else
            history_.redo(target);
    }
    view_.refresh();
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
    const std::span<const ControlPoint> points = grid_.points();
    for (std::size_t i = 0; i < points.size() && i < open_->grid.dx.size(); ++i)
        if (points[i].dx != open_->grid.dx[i] || points[i].dy != open_->grid.dy[i]) return true;
    return false;
}

void HistoryCommands::settle()
{
    worker_.waitUntilIdle();
    closeEdit();
}

std::optional<std::string> HistoryCommands::undoText() const
{
    if (open_) return std::string("Undo ") + pointsEditName(open_->kind);
    if (drag_.dragging()) return std::string("Undo Drag");
    if (!history_.canUndo()) return std::nullopt;
    return std::string("Undo ") + history_.undoName();
}

std::optional<std::string> HistoryCommands::redoText() const
{
    if (drag_.dragging() || open_ || !history_.canRedo()) return std::nullopt;
    return std::string("Redo ") + history_.redoName();
}

} // namespace plexor
