#pragma once

#include <optional>
#include <utility>

#include "app/grid_edit.h"
#include "app/source_change.h"

namespace plexor {

// Grid > New grid over the result: the result became the starting picture of
// a new pass, and a grid was laid over it; the grid before became an earlier
// pass.
class PassOverResultEdit final : public GridEdit {
public:
    PassOverResultEdit(GridEdit grid, SourceChange source) noexcept
        : GridEdit(std::move(grid)), source_(std::move(source))
    {}

    const char* name() const noexcept override { return "Grid over Result"; }
    void undo(EditTarget& target) const override;
    void redo(EditTarget& target) const override;
    std::size_t bytes() const noexcept override { return GridEdit::bytes() + source_.bytes(); }

private:
    SourceChange source_;
};

// File > Open grid: a grid file's passes laid over the picture as read, its
// last pass's cells deformed again on redo; the starting picture and the
// earlier passes change where the file has several passes or the picture
// had some.
class GridFileEdit : public GridEdit {
public:
    GridFileEdit(GridEdit grid, std::optional<SourceChange> source) noexcept
        : GridEdit(std::move(grid)), source_(std::move(source))
    {}

    const char* name() const noexcept override { return "Open Grid"; }
    void undo(EditTarget& target) const override;
    void redo(EditTarget& target) const override;
    std::size_t bytes() const noexcept override { return GridEdit::bytes() + (source_ ? source_->bytes() : 0); }

private:
    std::optional<SourceChange> source_;
};

// Grid > Resampling: the deformation rendered the other way, its passes laid
// again over the picture as read as a grid file of them would be.
class ResamplingEdit final : public GridFileEdit {
public:
    using GridFileEdit::GridFileEdit;
    const char* name() const noexcept override { return "Resampling"; }
};

} // namespace plexor
