#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/edit_history.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "engine/deform_model.h"

namespace plexor {

// The Edit menu, and how the other commands record their edits in its
// history. An edit begins once the edits before it have finished; a drag's
// edit stays open while its cells may still be deformed, and is recorded
// when the next edit begins.
class HistoryCommands {
public:
    HistoryCommands(DeformModel& model, WorkerControl& worker, ViewCommands& view, ControlPointDrag& drag) noexcept
        : model_(model), worker_(worker), view_(view), drag_(drag)
    {}

    // Takes the latest edit back, or does again the latest one taken back;
    // a drag under way ends first, as a release ends it. Both wait for the
    // worker to finish the cells of the edits before, and leave workImage,
    // the points and the view exactly as they were before (after) the edit.
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
    // A drag has picked its point (a group drag its points): its edit,
    // `name`, is under way.
    void startDragEdit(const char* name = "Drag");
    // A nudge of the selection of `generation` is about to move points: it
    // joins the edit of the nudges just before it, of the same selection
    // with no other edit between; otherwise its edit begins as any other.
    void beginNudge(std::uint64_t generation);
    // Keeps workImage from before the edit under way, if any, where `cells`
    // (the cells around point (c, r)), about to be queued, may write. The
    // worker is held.
    void keepBeforeCells(std::span<const CellRef> cells);
    void keepBeforeCellsAround(std::int32_t c, std::int32_t r);
    // An edit that lays the grid anew or resets it, done at once: the grid
    // and the whole picture before (and, for an edit that changes the
    // starting picture, the whole of it and the earlier passes), then the
    // grid after (and the passes after, and the starting picture after when
    // `keepSourceAfter`). Nothing when the memory cannot be had; the history
    // is then forgotten.
    std::optional<EditStep> startWholeEdit(const char* name, bool changesSource = false);
    void finishWholeEdit(std::optional<EditStep> edit, bool keepSourceAfter = false);
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
    // Undoes (redoes) the latest edit once the edits before have finished.
    void stepHistory(bool undo);
    // Lays `step`'s grid and pixels of before or after, and shows them.
    void restore(const EditStep& step, bool before);
    // The memory the history may hold now.
    std::size_t budget() const;

    DeformModel& model_;
    WorkerControl& worker_;
    ViewCommands& view_;
    ControlPointDrag& drag_;
    EditHistory history_;
    // The edit under way whose cells the worker may still deform: a drag,
    // with every point's displacement from before it.
    std::optional<EditStep> open_;
    GridSnapshot openGrid_;
    // The selection whose nudges the open edit gathers, if it is a nudge's.
    std::optional<std::uint64_t> nudging_;
};

} // namespace plexor
