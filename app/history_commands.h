#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/edit_history.h"
#include "app/grid_edit.h"
#include "app/memory_gauge.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/grid_pass.h"
#include "engine/grid_snapshot.h"
#include "engine/picture_buffers.h"
#include "engine/tile_store.h"

namespace plexor {

// The kinds of edit that move points, whose cells the worker deforms after
// them.
enum class PointsEditKind { Drag, MovePoints, Nudge };
// The kinds of edit that lay a grid, done at once.
enum class GridEditKind { Grid, Reset, PassOverResult, GridFile, Resampling };

// What an edit that lays a grid keeps from before it: the grid, the whole
// work plane and, for an edit that changes the starting picture, the whole
// of it and the earlier passes.
struct GridEditStart {
    GridSnapshot grid;
    TileStore work;
    bool changesSource = false;
    TileStore source;
    std::vector<GridPass> passes;
};

// The Edit menu, and how the other commands record their edits in its
// history. An edit begins once the edits before it have finished; an edit of
// moved points stays open while its cells may still be deformed, and is
// recorded when the next edit begins.
class HistoryCommands {
public:
    HistoryCommands(ControlGrid& grid, PictureBuffers& picture, CellWork& work, WorkerControl& worker,
                    ViewCommands& view, const ControlPointDrag& drag, const MemoryGauge& memory) noexcept
        : grid_(grid), picture_(picture), work_(work), worker_(worker), view_(view), drag_(drag), memory_(memory)
    {}

    // Takes the latest edit back (a drag under way ended first by the
    // caller), or does again the latest one taken back (nothing while a drag
    // is under way). Both wait for the worker to finish the cells of the
    // edits before, and leave the picture, the points and the view exactly
    // as they were before (after) the edit.
    void undo();
    void redo();
    // The items' texts while each can be chosen ("Undo Drag", "Redo Grid").
    std::optional<std::string> undoText() const;
    std::optional<std::string> redoText() const;
    const EditHistory& edits() const noexcept { return history_; }

    // An edit begins: the edits before it have finished, and the one under
    // way is recorded. What was undone stays to be redone until an edit that
    // changes something is recorded.
    void beginEdit();
    // Records the edit under way, whose cells have all been deformed.
    void closeEdit();
    // A drag has picked its point (a group drag its points): its edit is
    // under way.
    void startPointsEdit(PointsEditKind kind);
    // A nudge of the selection of `generation` is about to move points: it
    // joins the edit of the nudges just before it, of the same selection
    // with no other edit between; otherwise its edit begins as any other.
    void beginNudge(std::uint64_t generation);
    // Has the worker deform the cells around point (c, r), or `cells` as one
    // batch, keeping first the work plane where they may write, for the edit
    // under way.
    void queueCellsAround(std::int32_t c, std::int32_t r);
    void queueBatch(std::span<const CellRef> cells);

    // An edit that lays a grid, done at once: what it keeps from before,
    // then, once the grid is laid, the edit recorded. Nothing when the memory
    // cannot be had; the history is then forgotten.
    std::optional<GridEditStart> startGridEdit(bool changesSource = false);
    void finishGridEdit(GridEditKind kind, std::optional<GridEditStart> start);
    // Forgets every edit: a new picture starts a new, clean history.
    void startAfresh() noexcept;

    // Whether the picture differs from the one last opened or saved: an
    // edit, or a drag that has moved a point, since then, and no undo or
    // redo back to it.
    bool modified() const;
    // Waits for the worker and records the edit under way, so that the
    // picture shown is whole; markSaved() then says it is saved as it is.
    void settle();
    void markSaved() noexcept { history_.markClean(); }

private:
    // An edit of moved points under way, whose cells the worker may still
    // deform: every point's displacement and the work plane where its cells
    // may write, from before it.
    struct OpenEdit {
        PointsEditKind kind;
        GridSnapshot grid;
        TileStore before;
    };

    // Undoes (redoes) the latest edit once the edits before have finished.
    void stepHistory(bool undo);
    void keepBefore(std::span<const CellRef> cells);
    std::unique_ptr<GridEdit> gridEdit(GridEditKind kind, GridEditStart start);
    // The memory the history may hold now.
    std::size_t budget() const;

    ControlGrid& grid_;
    PictureBuffers& picture_;
    CellWork& work_;
    WorkerControl& worker_;
    ViewCommands& view_;
    const ControlPointDrag& drag_;
    const MemoryGauge& memory_;
    EditHistory history_;
    std::optional<OpenEdit> open_;
    // The selection whose nudges the open edit gathers, if it is a nudge's.
    std::optional<std::uint64_t> nudging_;
};

} // namespace plexor
