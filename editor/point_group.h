#pragma once

#include <cstdint>
#include <vector>

#include "engine/change_region.h"
#include "engine/control_grid.h"

namespace plexor {

// Points moved together by one offset from where they stood when the group
// was formed: a group drag, a nudge. Each move keeps every member's
// displacement below a step each way and its displaced position inside the
// picture: on each axis on its own, an offset is cut to what the first
// member to reach a limit allows. UI thread only.
class PointGroup {
public:
    // Forms the group of `members` (interior points, row by row) of a grid
    // over a width x height picture as they stand now; its offset is (0, 0).
    void form(const ControlGrid& grid, std::int32_t width, std::int32_t height, std::vector<std::int32_t> members);

    const std::vector<std::int32_t>& members() const noexcept { return members_; }
    std::int32_t offsetX() const noexcept { return offsetX_; }
    std::int32_t offsetY() const noexcept { return offsetY_; }
    // The offset along x (y) nearest `offset` that every member allows.
    std::int32_t limitX(std::int64_t offset) const noexcept;
    std::int32_t limitY(std::int64_t offset) const noexcept;

    // Puts every member at its displacement at forming plus the limited
    // (ox, oy), marking in `changes` what the overlay of the members covers,
    // before and after. Returns whether anything moved: nothing when the
    // limited offset is the one it has.
    bool moveTo(ControlGrid& grid, ChangeRegion& changes, std::int64_t ox, std::int64_t oy);

    // The batch that deforms the picture for the members' displacements: the
    // cells around them, row by row; none while the offset is (0, 0).
    std::vector<CellRef> cells(const GridGeometry& grid) const;

private:
    // Adds what the overlay of every member covers to `changes`:
    // for a member whose neighbours all move with it, its part of the
    // rectangles gathered at forming, moved by the offset; for the others,
    // their bounds as they stand. So a move marks in proportion to the
    // group's border, not to its size.
    void markMembers(const ControlGrid& grid, ChangeRegion& changes) const;

    std::vector<std::int32_t> members_;
    std::vector<std::int32_t> border_; // the members with a neighbour that stays
    RectSet inner_;                    // what the other members' overlay covers at forming
    std::vector<std::int32_t> formedDX_, formedDY_;
    // The offsets every member allows, each range holding 0.
    std::int64_t lowX_ = 0, highX_ = 0, lowY_ = 0, highY_ = 0;
    std::int32_t offsetX_ = 0, offsetY_ = 0;
};

} // namespace plexor
