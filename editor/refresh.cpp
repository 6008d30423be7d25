#include "editor/refresh.h"

#include <algorithm>
#include <cstring>

#include "editor/draw_overlay.h"
#include "editor/view_canvas.h"

namespace plexor {
namespace {

// Pixels in one band of the view: small enough that the band, once copied,
// is still in the cache while its overlay is drawn.
constexpr std::int64_t kBandPixels = 524288;

// Copies WorkImage into ViewImage band by band, drawing each band's overlay
// straight after its copy. Gives the same bytes as the whole copy followed
// by DrawOverlay.
void CopyAndDrawInBands(DeformModel& model, const ViewCanvas& view)
{
    const std::int64_t reach = OverlayReach(model);
    const std::int32_t rows = static_cast<std::int32_t>(std::max<std::int64_t>(1, kBandPixels / view.Width));
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(view.Width);
    for (std::int32_t top = 0; top < view.Height; top += rows) {
        const ViewCanvas band = view.Band(top, rows);
        const std::size_t offset = rowBytes * static_cast<std::size_t>(top);
        std::memcpy(model.ViewImage.data() + offset, model.WorkImage.data() + offset,
                    rowBytes * static_cast<std::size_t>(band.Height));
        DrawOverlayBand(model, band, reach);
    }
    // The three pixels after the last row belong to no row, but the copy
    // takes them too.
    const std::size_t rowsEnd = rowBytes * static_cast<std::size_t>(view.Height);
    std::memcpy(model.ViewImage.data() + rowsEnd, model.WorkImage.data() + rowsEnd,
                model.ViewImage.size() - rowsEnd);
}

} // namespace

void Refresh(DeformModel& model, RefreshHost& host)
{
    if (!model.ImageLoaded) return;
    const bool overlay = host.OverlayVisible();
    const ViewCanvas view = ViewCanvas::Of(model);
    const bool banded = overlay && model.GridExists() && !view.Empty() &&
                        model.WorkImage.size() == model.ViewImage.size();
    if (banded) {
        // The worker writes WorkImage; it waits while the picture is copied
        // and the overlay drawn over the copy.
        WorkerHold hold(model.Gate);
        CopyAndDrawInBands(model, view);
    } else {
        {
            WorkerHold hold(model.Gate);
            model.CopyPixels(model.WorkImage, model.ViewImage);
        }
        if (overlay) DrawOverlay(model);
    }
    host.PushView();
    host.RepaintImage();
}

} // namespace plexor
