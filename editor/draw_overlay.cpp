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
    std::int32_t X, Y;   // grid position
    std::int32_t DX, DY; // displacement
    bool Selected;

    static PointView Of(const TControlPoint& p) noexcept { return {p.X, p.Y, p.DX, p.DY, p.Selected != 0}; }
    std::int32_t ShownX() const noexcept { return Sum(X, DX); }
    std::int32_t ShownY() const noexcept { return Sum(Y, DY); }

    // A displaced coordinate; a sum past the 32-bit range lies outside any
    // picture either way, so it is held at the range's end.
    static std::int32_t Sum(std::int32_t a, std::int32_t b) noexcept
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
        return zoom.IsActual() ? v : static_cast<std::int32_t>(zoom.ToScreen(v));
    }
};

void DrawSegment(const ViewCanvas& view, const CanvasMap& map, const TControlPoint& from,
                 const TControlPoint& to) noexcept
{
    const PointView a = PointView::Of(from);
    const PointView b = PointView::Of(to);
    const Colour colour = a.Selected || b.Selected ? kSelectedSegmentColour : kSegmentColour;
    DrawLine(view, map(a.ShownX()), map(a.ShownY()), map(b.ShownX()), map(b.ShownY()), true, colour);
}

// The point columns (or rows) whose elements may reach picture positions
// lo <= v < hi along one axis: a displacement stays below a step, and
// segments run to the next point.
void PointRange(std::int64_t lo, std::int64_t hi, std::int32_t margin, std::int32_t step, std::int32_t count,
                std::int32_t& first, std::int32_t& last) noexcept
{
    first = static_cast<std::int32_t>(std::clamp<std::int64_t>(Zoom::FloorDiv(lo - margin, step) - 2, 0, count - 1));
    last = static_cast<std::int32_t>(std::clamp<std::int64_t>(Zoom::CeilDiv(hi - margin, step) + 1, 0, count - 1));
}

} // namespace

void DrawOverlay(const DeformModel& model, const ViewCanvas& view, Zoom zoom) noexcept
{
    if (!model.ImageLoaded || !model.GridExists() || view.Empty()) return;
    const std::int32_t cols = model.PointCols();
    const std::int32_t rows = model.PointRows();
    assert(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows) == model.ControlPoints.size());
    const TControlPoint* points = model.ControlPoints.data();
    const auto at = [points, cols](std::int32_t c, std::int32_t r) -> const TControlPoint& {
        return points[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
    };
    const CanvasMap map{zoom};

    // Only the points whose elements may reach the clip: the clip taken back
    // to picture positions, with room for a marker's pixels around it.
    const PixelRect& clip = view.Clip;
    std::int32_t c0, c1, r0, r1;
    PointRange(zoom.ToPicture(clip.X0 - 3), zoom.ToPicture(clip.X1 + 3) + 1, model.MarginX(), model.GridStepX, cols, c0,
               c1);
    PointRange(zoom.ToPicture(clip.Y0 - 3), zoom.ToPicture(clip.Y1 + 3) + 1, model.MarginY(), model.GridStepY, rows, r0,
               r1);

    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c < c1; ++c) DrawSegment(view, map, at(c, r), at(c + 1, r));

    for (std::int32_t c = c0; c <= c1; ++c)
        for (std::int32_t r = r0; r < r1; ++r) DrawSegment(view, map, at(c, r), at(c, r + 1));

    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c) {
            const PointView p = PointView::Of(at(c, r));
            if (p.DX != 0 || p.DY != 0)
                DrawLine(view, map(p.X), map(p.Y), map(p.ShownX()), map(p.ShownY()), false, kVectorColour);
        }

    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c) {
            const PointView p = PointView::Of(at(c, r));
            DrawMarker(view, map(p.ShownX()), map(p.ShownY()), p.Selected ? kSelectedMarkerColour : kMarkerColour);
        }
}

PixelRect PointOverlayBounds(const DeformModel& model, std::int32_t col, std::int32_t row) noexcept
{
    const PointView p = PointView::Of(model.Point(col, row));
    PixelRect bounds{p.X, p.Y, p.X + 1, p.Y + 1};
    const auto include = [&bounds](const PointView& q) {
        // Far beyond any picture, a position only needs to stay beyond it.
        const std::int32_t x = std::clamp(q.ShownX(), -(1 << 30), 1 << 30);
        const std::int32_t y = std::clamp(q.ShownY(), -(1 << 30), 1 << 30);
        bounds = bounds.Union(PixelRect{x, y, x + 1, y + 1});
    };
    include(p);
    if (col > 0) include(PointView::Of(model.Point(col - 1, row)));
    if (col + 1 < model.PointCols()) include(PointView::Of(model.Point(col + 1, row)));
    if (row > 0) include(PointView::Of(model.Point(col, row - 1)));
    if (row + 1 < model.PointRows()) include(PointView::Of(model.Point(col, row + 1)));
    // The marker reaches a pixel before its position and two after.
    return bounds.Grown(1, 1, 2, 2);
}

void DrawOverlay(DeformModel& model) noexcept
{
    DrawOverlay(model, ViewCanvas::Of(model));
}

} // namespace plexor
