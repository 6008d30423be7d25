#pragma once

#include <utility>

#include "app/edit.h"
#include "engine/grid_snapshot.h"
#include "engine/tile_store.h"

namespace plexor {

// An edit that lays the grid anew: the grid before and after, with their
// displacements, and the whole work plane before. The pixels after follow
// from the starting picture and the grid, and are made again: the starting
// picture restored, black outside the grid.
class GridEdit : public Edit {
public:
    GridEdit(GridSnapshot before, GridSnapshot after, TileStore workBefore) noexcept
        : before_(std::move(before)), after_(std::move(after)), workBefore_(std::move(workBefore))
    {}

    const char* name() const noexcept override { return "Grid"; }
    void undo(EditTarget& target) const override;
    void redo(EditTarget& target) const override;
    std::size_t bytes() const noexcept override;

    // Whether the edit changed nothing: the same grid at rest laid again
    // over a picture that was already as it made it.
    bool changesNothing(const PictureBuffers& picture) const;

protected:
    const TileStore& workBefore() const noexcept { return workBefore_; }

private:
    GridSnapshot before_, after_;
    TileStore workBefore_;
};

// R: every point back at rest and the pass's starting picture restored.
class ResetEdit final : public GridEdit {
public:
    explicit ResetEdit(GridEdit grid) noexcept : GridEdit(std::move(grid)) {}
    const char* name() const noexcept override { return "Reset"; }
};

} // namespace plexor
