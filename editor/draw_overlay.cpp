#include "editor/draw_overlay.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "editor/draw_line.h"
#include "editor/draw_marker.h"
#include "editor/overlay_palette.h"
#include "editor/view_canvas.h"

namespace plexor {
namespace {

// One point as the overlay sees it at this moment: each field read once,
// since a drag may change them between two reads.
struct PointView {
    std::int32_t x, y;   // grid position
    std::int32_t dx, dy; // displacement
    bool picked;

    static PointView of(const ControlPoint& p) noexcept { return {p.x, p.y, p.dx, p.dy, p.picked != 0}; }
    std::int32_t shownX() const noexcept { return sum(x, dx); }
    std::int32_t shownY() const noexcept { return sum(y, dy); }

    // A displaced coordinate; a sum past the 32-bit range lies outside any
    // picture either way, so it is held at the range's end.
    static std::int32_t sum(std::int32_t a, std::int32_t b) noexcept
    {
        const std::int64_t s = std::int64_t{a} + b;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(s, std::numeric_limits<std::int32_t>::min(),
                                                                  std::numeric_limits<std::int32_t>::max()));
    }
};

// Maps a picture position to the canvas: the identity at full size, the
// screen pixel it falls on in a reduced view.
struct CanvasMap {
    Zoom zoom;
    std::int32_t operator()(std::int32_t v) const noexcept
    {
        return zoom.isActual() ? v : static_cast<std::int32_t>(zoom.toScreen(v));
    }
};

void drawSegment(const ViewCanvas& view, const CanvasMap& map, const ControlPoint& from,
                 const ControlPoint& to) noexcept
{
    const PointView a = PointView::of(from);
    const PointView b = PointView::of(to);
    const Colour colour = a.picked || b.picked ? kPickedSegmentColour : kSegmentColour;
    drawLine(view, map(a.shownX()), map(a.shownY()), map(b.shownX()), map(b.shownY()), true, colour);
}

// The point columns (or rows) whose elements may reach picture positions
// lo <= v < hi along one axis: a displacement stays below a step, and
// segments run to the next point.
void pointRange(std::int64_t lo, std::int64_t hi, std::int32_t margin, std::int32_t step, std::int32_t count,
                std::int32_t& first, std::int32_t& last) noexcept
{
    first = static_cast<std::int32_t>(std::clamp<std::int64_t>(Zoom::floorDiv(lo - margin, step) - 2, 0, count - 1));
    last = static_cast<std::int32_t>(std::clamp<std::int64_t>(Zoom::ceilDiv(hi - margin, step) + 1, 0, count - 1));
}

} // namespace

void drawOverlay(const ControlGrid& grid, const ViewCanvas& view, Zoom zoom) noexcept
{
    if (!grid.exists() || view.empty()) return;
    const std::int32_t cols = grid.shape().pointCols;
    const std::int32_t rows = grid.shape().pointRows;
    assert(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows) == grid.points().size());
    const ControlPoint* points = grid.points().data();
    const auto at = [points, cols](std::int32_t c, std::int32_t r) -> const ControlPoint& {
        return points[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
    };
    const CanvasMap map{zoom};

    // Only the points whose elements may reach the clip: the clip taken back
    // to picture positions, with room for a marker's pixels around it.
    const PixelRect& clip = view.clip;
    std::int32_t c0, c1, r0, r1;
    pointRange(zoom.toPicture(clip.x0 - 3), zoom.toPicture(clip.x1 + 3) + 1, grid.shape().marginX, grid.step(), cols,
               c0, c1);
    pointRange(zoom.toPicture(clip.y0 - 3), zoom.toPicture(clip.y1 + 3) + 1, grid.shape().marginY, grid.step(), rows,
               r0, r1);

    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c < c1; ++c) drawSegment(view, map, at(c, r), at(c + 1, r));

    for (std::int32_t c = c0; c <= c1; ++c)
        for (std::int32_t r = r0; r < r1; ++r) drawSegment(view, map, at(c, r), at(c, r + 1));

    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c) {
            const PointView p = PointView::of(at(c, r));
            if (p.dx != 0 || p.dy != 0)
                drawLine(view, map(p.x), map(p.y), map(p.shownX()), map(p.shownY()), false, kVectorColour);
        }

    const PointSelection& selection = grid.selection();
    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c) {
            const PointView p = PointView::of(at(c, r));
            const Colour colour = p.picked                               ? kPickedMarkerColour
                                  : selection.contains(grid.index(c, r)) ? kSelectionColour
                                                                         : kMarkerColour;
            drawMarker(view, map(p.shownX()), map(p.shownY()), colour);
        }

    const PixelRect& band = selection.band();
    if (!band.empty()) {
        const std::int32_t x0 = map(band.x0), y0 = map(band.y0), x1 = map(band.x1 - 1), y1 = map(band.y1 - 1);
        drawLine(view, x0, y0, x1, y0, false, kSelectionColour);
        drawLine(view, x0, y1, x1, y1, false, kSelectionColour);
        drawLine(view, x0, y0, x0, y1, false, kSelectionColour);
        drawLine(view, x1, y0, x1, y1, false, kSelectionColour);
    }
}

PixelRect pointOverlayBounds(const ControlGrid& grid, std::int32_t col, std::int32_t row) noexcept
{
    const PointView p = PointView::of(grid.point(col, row));
    PixelRect bounds{p.x, p.y, p.x + 1, p.y + 1};
    const auto include = [&bounds](const PointView& q) {
        // Far beyond any picture, a position only needs to stay beyond it.
        const std::int32_t x = std::clamp(q.shownX(), -(1 << 30), 1 << 30);
        const std::int32_t y = std::clamp(q.shownY(), -(1 << 30), 1 << 30);
        bounds = bounds.united(PixelRect{x, y, x + 1, y + 1});
    };
    include(p);
    if (col > 0) include(PointView::of(grid.point(col - 1, row)));
    if (col + 1 < grid.shape().pointCols) include(PointView::of(grid.point(col + 1, row)));
    if (row > 0) include(PointView::of(grid.point(col, row - 1)));
    if (row + 1 < grid.shape().pointRows) include(PointView::of(grid.point(col, row + 1)));
    // The marker reaches a pixel before its position and two after.
    return bounds.grown(1, 1, 2, 2);
}

PixelRect pointMarkerBounds(const ControlGrid& grid, std::int32_t i) noexcept
{
    const PointView p = PointView::of(grid.points()[static_cast<std::size_t>(i)]);
    const std::int32_t x = std::clamp(p.shownX(), -(1 << 30), 1 << 30);
    const std::int32_t y = std::clamp(p.shownY(), -(1 << 30), 1 << 30);
    return PixelRect{x, y, x + 1, y + 1}.grown(1, 1, 2, 2);
}

std::array<PixelRect, 4> bandOutline(const PixelRect& b) noexcept
{
    return {PixelRect{b.x0, b.y0, b.x1, b.y0 + 1}, PixelRect{b.x0, b.y1 - 1, b.x1, b.y1},
            PixelRect{b.x0, b.y0, b.x0 + 1, b.y1}, PixelRect{b.x1 - 1, b.y0, b.x1, b.y1}};
}

void drawOverlay(const ControlGrid& grid, PictureBuffers& picture) noexcept
{
    drawOverlay(grid, ViewCanvas::of(picture));
}

} // namespace plexor
