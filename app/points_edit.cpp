#include "app/points_edit.h"

#include "editor/draw_overlay.h"

namespace plexor {

std::size_t PointsEdit::bytes() const noexcept
{
    return points_.capacity() * sizeof(PointChange) + before_.bytes() + after_.bytes();
}

void PointsEdit::lay(EditTarget& target, bool before) const
{
    target.picture.restoreWork(before ? before_ : after_, target.work.changes());
    const std::int32_t cols = target.grid.shape().pointCols;
    for (const PointChange& change : points_) {
        const std::int32_t c = change.index % cols, r = change.index / cols;
        target.work.changes().mark(pointOverlayBounds(target.grid, c, r));
        target.grid.displace(static_cast<std::size_t>(change.index), before ? change.beforeDX : change.afterDX,
                             before ? change.beforeDY : change.afterDY);
        target.work.changes().mark(pointOverlayBounds(target.grid, c, r));
    }
}

} // namespace plexor
