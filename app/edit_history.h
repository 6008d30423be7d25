#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/edit.h"

namespace plexor {

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
    void push(std::unique_ptr<Edit> edit, std::size_t budget);
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
    const char* undoName() const noexcept { return undo_.back()->name(); }
    const char* redoName() const noexcept { return redo_.back()->name(); }

    // Takes back the latest edit, or does again the latest one taken back,
    // on `target`; it moves to the other list. Nothing when there is none.
    void undo(EditTarget& target) { move(undo_, redo_, target, true); }
    void redo(EditTarget& target) { move(redo_, undo_, target, false); }

    std::size_t bytes() const noexcept;

private:
    static void move(std::vector<std::unique_ptr<Edit>>& from, std::vector<std::unique_ptr<Edit>>& to,
                     EditTarget& target, bool undo);

    std::vector<std::unique_ptr<Edit>> undo_;
    std::vector<std::unique_ptr<Edit>> redo_;
    std::ptrdiff_t clean_ = 0; // the edits undoable in the clean state; -1: none reaches it
};

} // namespace plexor
