#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/grid_snapshot.h"
#include "engine/tile_store.h"

namespace plexor {

// One edit as the history keeps it: its name in the Edit menu, and what it
// changed, before and after.
struct EditStep {
    // A point a drag moved: its index and its displacement before and after.
    struct PointChange {
        std::int32_t Index;
        std::int32_t BeforeDX, BeforeDY;
        std::int32_t AfterDX, AfterDY;
    };

    std::string Name;
    // An edit that lays the grid anew or resets it: the grid before and
    // after, and the whole of WorkImage before. Its pixels after follow from
    // the picture and the grid, and are made again.
    std::optional<GridSnapshot> GridBefore;
    std::optional<GridSnapshot> GridAfter;
    // Whether the pixels after also need the cells of the displaced points
    // deformed, in their one canonical batch: a grid file laid.
    bool DeformAfter = false;
    // A drag: the points it moved, and WorkImage where its cells may have
    // written, before and after.
    std::vector<PointChange> Points;
    TileStore PixelsBefore;
    TileStore PixelsAfter;

    std::size_t Bytes() const noexcept;
};

// The edits that can be taken back and done again, latest last. It keeps
// within a budget of memory by dropping the oldest edits.
class EditHistory {
public:
    // The budget for `available` bytes the machine can still give: a quarter
    // of it with what the history holds, at most 1 GiB.
    std::size_t Budget(std::uint64_t available) const noexcept;

    // Records the latest edit. The edits undone so far go; so do the oldest
    // while more than `budget` bytes are held, and all of them when the
    // latest alone is more.
    void Push(EditStep step, std::size_t budget);
    // Forgets everything: a new picture, or an edit that could not be kept.
    void Clear() noexcept;

    bool CanUndo() const noexcept { return !undo_.empty(); }
    bool CanRedo() const noexcept { return !redo_.empty(); }
    const std::string& UndoName() const { return undo_.back().Name; }
    const std::string& RedoName() const { return redo_.back().Name; }

    // Takes back the latest edit, or does again the latest one taken back:
    // `restore` is called with it, then it moves to the other list. Nothing
    // when there is none.
    template <class Restore>
    void Undo(Restore&& restore)
    {
        Move(undo_, redo_, restore);
    }
    template <class Restore>
    void Redo(Restore&& restore)
    {
        Move(redo_, undo_, restore);
    }

    std::size_t Bytes() const noexcept;

private:
    template <class Restore>
    static void Move(std::vector<EditStep>& from, std::vector<EditStep>& to, Restore& restore)
    {
        if (from.empty()) return;
        EditStep step = std::move(from.back());
        from.pop_back();
        restore(std::as_const(step));
        to.push_back(std::move(step));
    }

    std::vector<EditStep> undo_;
    std::vector<EditStep> redo_;
};

} // namespace plexor
