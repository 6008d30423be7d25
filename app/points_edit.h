#pragma once

#include <cstdint>
#include <vector>

#include "app/edit.h"
#include "engine/tile_store.h"

namespace plexor {

// An edit that moved points and had their cells deformed: the points it
// moved, with their displacements before and after, and the work plane where
// its cells may have written, before and after.
class PointsEdit : public Edit {
public:
    struct PointChange {
        std::int32_t index;
        std::int32_t beforeDX, beforeDY;
        std::int32_t afterDX, afterDY;
    };

    PointsEdit(std::vector<PointChange> points, TileStore before, TileStore after) noexcept
        : points_(std::move(points)), before_(std::move(before)), after_(std::move(after))
    {}

    void undo(EditTarget& target) const override { lay(target, true); }
    void redo(EditTarget& target) const override { lay(target, false); }
    std::size_t bytes() const noexcept override;

    const std::vector<PointChange>& points() const noexcept { return points_; }

private:
    void lay(EditTarget& target, bool before) const;

    std::vector<PointChange> points_;
    TileStore before_, after_;
};

// A drag, from press to release, every point it passed on to included.
class DragEdit final : public PointsEdit {
public:
    using PointsEdit::PointsEdit;
    const char* name() const noexcept override { return "Drag"; }
};

// The chosen points dragged together.
class MovePointsEdit final : public PointsEdit {
public:
    using PointsEdit::PointsEdit;
    const char* name() const noexcept override { return "Move Points"; }
};

// The nudges of one choice of points with no other edit between them: one
// edit, as the arrow keys move the points a pixel or ten at a time.
class NudgeEdit final : public PointsEdit {
public:
    using PointsEdit::PointsEdit;
    const char* name() const noexcept override { return "Nudge"; }
};

} // namespace plexor
