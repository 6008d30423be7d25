#include "editor/refresh.h"

#include "editor/draw_overlay.h"

namespace plexor {

void Refresh(DeformModel& model, RefreshHost& host)
{
    if (!model.ImageLoaded) return;
    {
        // The worker writes WorkImage; it waits while the picture is copied,
        // and goes on while the overlay is drawn over the copy.
        WorkerHold hold(model.Gate);
        model.CopyPixels(model.WorkImage, model.ViewImage);
    }
    if (host.OverlayVisible()) DrawOverlay(model);
    host.PushView();
    host.RepaintImage();
}

} // namespace plexor
