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
void markMarkers(DeformModel& m, const Indexes& indexes)
{
    RectSet rects;
    for (const std::int32_t i : indexes) rects.add(pointMarkerBounds(m, i));
    for (const PixelRect& rect : rects) m.changes().mark(rect);
}

bool hasGrid(const DeformModel& m) noexcept
{
    return m.imageLoaded() && m.gridExists();
}

} // namespace

void selectAllPoints(DeformModel& m)
{
    if (!hasGrid(m)) return;
    const GridGeometry& g = m.grid();
    std::vector<std::int32_t> added;
    for (std::int32_t r = 1; r + 1 < g.pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < g.pointCols; ++c) {
            const auto i = static_cast<std::int32_t>(m.pointIndex(c, r));
            if (m.selection().contains(static_cast<std::size_t>(i))) continue;
            m.selection().add(static_cast<std::size_t>(i));
            added.push_back(i);
        }
    markMarkers(m, added);
}

void selectNoPoints(DeformModel& m)
{
    if (m.selection().empty()) return;
    markMarkers(m, m.selection().members());
    m.selection().clear();
}

void toggleSelected(DeformModel& m, std::int32_t index)
{
    const auto i = static_cast<std::size_t>(index);
    if (m.selection().contains(i))
        m.selection().remove(i);
    else
        m.selection().add(i);
    m.changes().mark(pointMarkerBounds(m, index));
}

PixelRect SelectionGesture::bandTo(std::int64_t x, std::int64_t y) const noexcept
{
    // Screen pixel s shows the picture pixels from firstPictureAtOrAfter(s)
    // up to the first of s + 1, at any zoom; the band is held to the picture.
    const auto at = [this](std::int64_t s, std::int32_t extent) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(zoom_.firstPictureAtOrAfter(s), 0, extent));
    };
    const std::int32_t w = model_.imageWidth(), h = model_.imageHeight();
    return PixelRect{at(std::min(pressX_, x), w), at(std::min(pressY_, y), h), at(std::max(pressX_, x) + 1, w),
                     at(std::max(pressY_, y) + 1, h)};
}

void SelectionGesture::showBand(const PixelRect& band)
{
    for (const PixelRect& edge : bandOutline(model_.selection().band())) model_.changes().mark(edge);
    model_.selection().setBand(band);
    for (const PixelRect& edge : bandOutline(band)) model_.changes().mark(edge);
}

void SelectionGesture::press(std::int64_t x, std::int64_t y)
{
    cancel();
    if (!hasGrid(model_)) return;
    active_ = true;
    moved_ = false;
    pressX_ = x;
    pressY_ = y;
    pressed_ = pointUnder(model_, zoom_, x, y);
}

void SelectionGesture::move(std::int64_t x, std::int64_t y)
{
    if (!active_ || !hasGrid(model_)) return;
    moved_ = moved_ || x != pressX_ || y != pressY_;
    if (moved_) showBand(bandTo(x, y));
}

void SelectionGesture::release(std::int64_t x, std::int64_t y)
{
    if (!active_ || !hasGrid(model_)) {
        cancel();
        return;
    }
    move(x, y);
    if (!moved_) {
        if (pressed_ >= 0) toggleSelected(model_, pressed_);
    } else {
        const PixelRect band = model_.selection().band();
        const GridGeometry& g = model_.grid();
        std::vector<std::int32_t> added;
        for (std::int32_t r = 1; r + 1 < g.pointRows; ++r)
            for (std::int32_t c = 1; c + 1 < g.pointCols; ++c) {
                const ControlPoint& p = model_.point(c, r);
                const std::int64_t sx = std::int64_t{p.x} + p.dx, sy = std::int64_t{p.y} + p.dy;
                const auto i = static_cast<std::int32_t>(model_.pointIndex(c, r));
                if (sx < band.x0 || sx >= band.x1 || sy < band.y0 || sy >= band.y1 ||
                    model_.selection().contains(static_cast<std::size_t>(i)))
                    continue;
                model_.selection().add(static_cast<std::size_t>(i));
                added.push_back(i);
            }
        markMarkers(model_, added);
    }
    cancel();
}

void SelectionGesture::cancel()
{
    active_ = false;
    if (!model_.selection().band().empty()) showBand(PixelRect{});
}

} // namespace plexor
