#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/grid_pass.h"
#include "engine/grid_snapshot.h"
#include "engine/tile_store.h"

namespace plexor {

// One edit as the history keeps it: its name in the Edit menu, and what it
// changed, before and after.
struct EditStep {
    // A point a drag moved: its index and its displacement before and after.
    struct PointChange {
        std::int32_t index;
        std::int32_t beforeDX, beforeDY;
        std::int32_t afterDX, afterDY;
    };

    std::string name;
    // An edit that lays the grid anew or resets it: the grid before and
    // after, and the whole of workImage before. Its pixels after follow from
    // the picture and the grid, and are made again.
    std::optional<GridSnapshot> gridBefore;
    std::optional<GridSnapshot> gridAfter;
    // Whether the pixels after also need the cells of the displaced points
    // deformed, in their one canonical batch: a grid file laid.
    bool deformAfter = false;
    // An edit that changes the starting picture (a grid laid over the result,
    // a grid file laid over the picture as read): the whole of sourceImage
    // before and the earlier passes before and after. The starting picture
    // after is `sourceAfter`, or, when that is empty, the pixels before.
    TileStore sourceBefore;
    TileStore sourceAfter;
    std::optional<std::vector<GridPass>> passesBefore;
    std::optional<std::vector<GridPass>> passesAfter;
    // A drag: the points it moved, and workImage where its cells may have
    // written, before and after.
    std::vector<PointChange> points;
    TileStore pixelsBefore;
    TileStore pixelsAfter;

    std::size_t bytes() const noexcept;
};

// The edits that can be taken back and done again, latest last. It keeps
// within a budget of memory by dropping the oldest edits.
class EditHistory {
public:
    // The budget for `available` bytes the machine can still give: a quarter
    // of it with what the history holds, at most 1 GiB.
    std::size_t budget(std::uint64_t available) const noexcept;

    // Records the latest edit. The edits undone so far go; so do the oldest
    // while more than `budget` bytes are held, and all of them when the
    // latest alone is more.
    void push(EditStep step, std::size_t budget);
    // Forgets everything: a new picture, or an edit that could not be kept;
    // the picture then counts as changed until markClean().
    void clear() noexcept;

    // The picture now is the one last opened or saved. Like a clean state in
    // Qt's undo framework, isClean() holds again whenever undos and redos
    // come back to it; an edit recorded over undone ones after it, or the
    // loss of the edits in between, makes it unreachable.
    void markClean() noexcept { clean_ = static_cast<std::ptrdiff_t>(undo_.size()); }
    bool isClean() const noexcept { return clean_ == static_cast<std::ptrdiff_t>(undo_.size()); }

    bool canUndo() const noexcept { return !undo_.empty(); }
    bool canRedo() const noexcept { return !redo_.empty(); }
    const std::string& undoName() const { return undo_.back().name; }
    const std::string& redoName() const { return redo_.back().name; }

    // Takes back the latest edit, or does again the latest one taken back:
    // `restore` is called with it, then it moves to the other list. Nothing
    // when there is none.
    template <class Restore>
    void undo(Restore&& restore)
    {
        move(undo_, redo_, restore);
    }
    template <class Restore>
    void redo(Restore&& restore)
    {
        move(redo_, undo_, restore);
    }

    std::size_t bytes() const noexcept;

private:
    template <class Restore>
    static void move(std::vector<EditStep>& from, std::vector<EditStep>& to, Restore& restore)
    {
        if (from.empty()) return;
        EditStep step = std::move(from.back());
        from.pop_back();
        restore(std::as_const(step));
        to.push_back(std::move(step));
    }

    std::vector<EditStep> undo_;
    std::vector<EditStep> redo_;
    std::ptrdiff_t clean_ = 0; // the edits undoable in the clean state; -1: none reaches it
};

} // namespace plexor
