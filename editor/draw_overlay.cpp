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

void DrawSegment(const ViewCanvas& view, const TControlPoint& from, const TControlPoint& to) noexcept
{
    const PointView a = PointView::Of(from);
    const PointView b = PointView::Of(to);
    const Colour colour = a.Selected || b.Selected ? kSelectedSegmentColour : kSegmentColour;
    DrawLine(view, a.ShownX(), a.ShownY(), b.ShownX(), b.ShownY(), true, colour);
}

} // namespace

void DrawOverlay(DeformModel& model) noexcept
{
    if (!model.ImageLoaded || !model.GridExists()) return;
    const ViewCanvas view = ViewCanvas::Of(model);
    if (view.Empty()) return;
    const std::int32_t cols = model.PointCols();
    const std::int32_t rows = model.PointRows();
    assert(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows) == model.ControlPoints.size());
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
