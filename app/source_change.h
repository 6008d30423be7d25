#pragma once

#include <utility>
#include <vector>

#include "app/edit.h"
#include "engine/grid_pass.h"
#include "engine/tile_store.h"

namespace plexor {

// What an edit that changes the starting picture changes beside the grid and
// the work plane: the whole starting picture before, and after (or, when
// that is kept nowhere else, the work plane as it was before the edit: a
// result that became the starting picture), and the earlier passes before
// and after.
class SourceChange {
public:
    SourceChange(TileStore before, TileStore after, std::vector<GridPass> passesBefore,
                 std::vector<GridPass> passesAfter) noexcept
        : before_(std::move(before)), after_(std::move(after)), passesBefore_(std::move(passesBefore)),
          passesAfter_(std::move(passesAfter))
    {}

    void undo(EditTarget& target) const
    {
        target.grid.setEarlierPasses(passesBefore_);
        target.picture.restoreSource(before_, target.work.changes());
    }
    // `workBefore`: the work plane before the edit, the starting picture
    // after it when none is kept here.
    void redo(EditTarget& target, const TileStore& workBefore) const
    {
        target.grid.setEarlierPasses(passesAfter_);
        target.picture.restoreSource(after_.empty() ? workBefore : after_, target.work.changes());
    }
    std::size_t bytes() const noexcept;

private:
    TileStore before_, after_;
    std::vector<GridPass> passesBefore_, passesAfter_;
};

} // namespace plexor
