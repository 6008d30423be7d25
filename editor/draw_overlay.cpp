#include "editor/draw_overlay.h"

#include <algorithm>
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

    static PointView Of(const TControlPoint& p) noexcept
    {
        return {p.X, p.Y, p.DX, p.DY, p.Selected != 0};
    }
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

void DrawSegment(const ViewCanvas& view, const TControlPoint& from, const TControlPoint& to) noexcept
{
    const PointView a = PointView::Of(from);
    const PointView b = PointView::Of(to);
    const Colour colour = a.Selected || b.Selected ? kSelectedSegmentColour : kSegmentColour;
    DrawLine(view, a.ShownX(), a.ShownY(), b.ShownX(), b.ShownY(), true, colour);
}

// The first and last point rows whose reach [Y - before, Y + after] (Y of
// the row's first point) meets rows top .. bottom - 1; first > last when
// none does. A superset of the rows that can draw there.
struct RowRange {
    std::int32_t first, last;
};

template <class Reach>
RowRange RowsReaching(const TControlPoint* points, std::int32_t cols, std::int32_t rows, std::int64_t top,
                      std::int64_t bottom, Reach reach) noexcept
{
    RowRange range{rows, -1};
    for (std::int32_t r = 0; r < rows; ++r) {
        const auto [from, to] = reach(r, std::int64_t{points[static_cast<std::size_t>(r) * cols].Y});
        if (to < top || from >= bottom) continue;
        range.first = std::min(range.first, r);
        range.last = std::max(range.last, r);
    }
    return range;
}

} // namespace

std::int64_t OverlayReach(const DeformModel& model) noexcept
{
    const std::int32_t cols = model.PointCols;
    std::int64_t reach = 0;
    for (std::size_t i = 0; i < model.ControlPoints.size(); ++i) {
        const TControlPoint& p = model.ControlPoints[i];
        const std::int64_t rowY = model.ControlPoints[i - i % static_cast<std::size_t>(cols)].Y;
        const std::int64_t y = p.Y;
        const std::int64_t shown = y + p.DY;
        reach = std::max({reach, y > rowY ? y - rowY : rowY - y, shown > rowY ? shown - rowY : rowY - shown});
    }
    return reach;
}

void DrawOverlayBand(DeformModel& model, const ViewCanvas& band, std::int64_t reach) noexcept
{
    if (!model.ImageLoaded || !model.GridExists() || band.Empty() || band.Height <= 0) return;
    const std::int32_t cols = model.PointCols;
    const std::int32_t rows = model.PointRows;
    if (cols <= 0 || rows <= 0 ||
        static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows) != model.ControlPoints.size())
        return;
    const TControlPoint* points = model.ControlPoints.data();
    const auto at = [points, cols](std::int32_t c, std::int32_t r) -> const TControlPoint& {
        return points[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
    };
    const std::int64_t top = band.Top;
    const std::int64_t bottom = std::int64_t{band.Top} + band.Height;
    using Span = std::pair<std::int64_t, std::int64_t>;

    // Every layer in its order, each restricted to the point rows that can
    // reach the band: a pixel of the band gets what the whole overlay gives it.
    const RowRange level = RowsReaching(points, cols, rows, top, bottom,
                                        [reach](std::int32_t, std::int64_t y) { return Span{y - reach, y + reach}; });
    for (std::int32_t r = level.first; r <= level.last; ++r)
        for (std::int32_t c = 0; c + 1 < cols; ++c) DrawSegment(band, at(c, r), at(c + 1, r));

    const RowRange down = RowsReaching(points, cols, rows - 1, top, bottom, [&](std::int32_t r, std::int64_t y) {
        return Span{y - reach, std::int64_t{at(0, r + 1).Y} + reach};
    });
    for (std::int32_t c = 0; c < cols; ++c)
        for (std::int32_t r = down.first; r <= down.last; ++r) DrawSegment(band, at(c, r), at(c, r + 1));

    for (std::int32_t r = level.first; r <= level.last; ++r)
        for (std::int32_t c = 0; c < cols; ++c) {
            const PointView p = PointView::Of(at(c, r));
            if (p.DX != 0 || p.DY != 0) DrawLine(band, p.X, p.Y, p.ShownX(), p.ShownY(), false, kVectorColour);
        }

    const RowRange marked = RowsReaching(points, cols, rows, top, bottom, [reach](std::int32_t, std::int64_t y) {
        return Span{y - reach - 1, y + reach + 2};
    });
    for (std::int32_t r = marked.first; r <= marked.last; ++r)
        for (std::int32_t c = 0; c < cols; ++c) {
            const PointView p = PointView::Of(at(c, r));
            DrawMarker(band, p.ShownX(), p.ShownY(), p.Selected ? kSelectedMarkerColour : kMarkerColour);
        }
}

void DrawOverlay(DeformModel& model) noexcept
{
    if (!model.ImageLoaded || !model.GridExists()) return;
    const ViewCanvas view = ViewCanvas::Of(model);
    if (view.Empty()) return;
    const std::int32_t cols = model.PointCols;
    const std::int32_t rows = model.PointRows;
    if (cols <= 0 || rows <= 0 ||
        static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows) != model.ControlPoints.size())
        return;
    const TControlPoint* points = model.ControlPoints.data();
    const auto at = [points, cols](std::int32_t c, std::int32_t r) -> const TControlPoint& {
        return points[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)];
    };
    const std::size_t count = model.ControlPoints.size();

    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c + 1 < cols; ++c) DrawSegment(view, at(c, r), at(c + 1, r));

    for (std::int32_t c = 0; c < cols; ++c)
        for (std::int32_t r = 0; r + 1 < rows; ++r) DrawSegment(view, at(c, r), at(c, r + 1));

    for (std::size_t i = 0; i < count; ++i) {
        const PointView p = PointView::Of(points[i]);
        if (p.DX != 0 || p.DY != 0) DrawLine(view, p.X, p.Y, p.ShownX(), p.ShownY(), false, kVectorColour);
    }

    for (std::size_t i = 0; i < count; ++i) {
        const PointView p = PointView::Of(points[i]);
        DrawMarker(view, p.ShownX(), p.ShownY(), p.Selected ? kSelectedMarkerColour : kMarkerColour);
    }
}

} // namespace plexor
