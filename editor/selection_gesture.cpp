#include "editor/selection_gesture.h"

#include <algorithm>
#include <vector>

#include "editor/draw_overlay.h"
#include "editor/point_hit.h"

namespace plexor {
namespace {

// Marks the markers of the points `indexes` for the next refresh, the
// change region taken once per rectangle gathered.
template <class Indexes>
void markMarkers(const ControlGrid& grid, ChangeRegion& changes, const Indexes& indexes)
{
    RectSet rects;
    for (const std::int32_t i : indexes) rects.add(pointMarkerBounds(grid, i));
    for (const PixelRect& rect : rects) changes.mark(rect);
}

} // namespace

void selectAllPoints(ControlGrid& grid, ChangeRegion& changes)
{
    if (!grid.exists()) return;
    const GridGeometry& g = grid.shape();
    std::vector<std::int32_t> added;
    for (std::int32_t r = 1; r + 1 < g.pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < g.pointCols; ++c) {
            const auto i = static_cast<std::int32_t>(grid.index(c, r));
            if (grid.selection().contains(static_cast<std::size_t>(i))) continue;
            grid.selection().add(static_cast<std::size_t>(i));
            added.push_back(i);
        }
    markMarkers(grid, changes, added);
}

void selectNoPoints(ControlGrid& grid, ChangeRegion& changes)
{
    if (grid.selection().empty()) return;
    markMarkers(grid, changes, grid.selection().members());
    grid.selection().clear();
}

void toggleSelected(ControlGrid& grid, ChangeRegion& changes, std::int32_t index)
{
    const auto i = static_cast<std::size_t>(index);
    if (grid.selection().contains(i))
        grid.selection().remove(i);
    else
        grid.selection().add(i);
    changes.mark(pointMarkerBounds(grid, index));
}

PixelRect SelectionGesture::bandTo(std::int64_t x, std::int64_t y) const noexcept
{
    // Screen pixel s shows the picture pixels from firstPictureAtOrAfter(s)
    // up to the first of s + 1, at any zoom; the band is held to the picture.
    const auto at = [this](std::int64_t s, std::int32_t extent) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(zoom_.firstPictureAtOrAfter(s), 0, extent));
    };
    const std::int32_t w = picture_.width(), h = picture_.height();
    return PixelRect{at(std::min(pressX_, x), w), at(std::min(pressY_, y), h), at(std::max(pressX_, x) + 1, w),
                     at(std::max(pressY_, y) + 1, h)};
}

void SelectionGesture::showBand(const PixelRect& band)
{
    for (const PixelRect& edge : bandOutline(grid_.selection().band())) changes_.mark(edge);
    grid_.selection().setBand(band);
    for (const PixelRect& edge : bandOutline(band)) changes_.mark(edge);
}

void SelectionGesture::press(std::int64_t x, std::int64_t y)
{
    cancel();
    if (!hasGrid()) return;
    active_ = true;
    moved_ = false;
    pressX_ = x;
    pressY_ = y;
    pressed_ = pointUnder(grid_, zoom_, x, y);
}

void SelectionGesture::move(std::int64_t x, std::int64_t y)
{
    if (!active_ || !hasGrid()) return;
    moved_ = moved_ || x != pressX_ || y != pressY_;
    if (moved_) showBand(bandTo(x, y));
}

void SelectionGesture::release(std::int64_t x, std::int64_t y)
{
    if (!active_ || !hasGrid()) {
        cancel();
        return;
    }
    move(x, y);
    if (!moved_) {
        if (pressed_ >= 0) toggleSelected(grid_, changes_, pressed_);
    } else {
        const PixelRect band = grid_.selection().band();
        const GridGeometry& g = grid_.shape();
        std::vector<std::int32_t> added;
        for (std::int32_t r = 1; r + 1 < g.pointRows; ++r)
            for (std::int32_t c = 1; c + 1 < g.pointCols; ++c) {
                const ControlPoint& p = grid_.point(c, r);
                const std::int64_t sx = std::int64_t{p.x} + p.dx, sy = std::int64_t{p.y} + p.dy;
                const auto i = static_cast<std::int32_t>(grid_.index(c, r));
                if (sx < band.x0 || sx >= band.x1 || sy < band.y0 || sy >= band.y1 ||
                    grid_.selection().contains(static_cast<std::size_t>(i)))
                    continue;
                grid_.selection().add(static_cast<std::size_t>(i));
                added.push_back(i);
            }
        markMarkers(grid_, changes_, added);
    }
    cancel();
}

void SelectionGesture::cancel()
{
    active_ = false;
    if (!grid_.selection().band().empty()) showBand(PixelRect{});
}

} // namespace plexor
