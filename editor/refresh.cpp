#include "editor/refresh.h"

#include <array>
#include <cstring>

#include "editor/draw_overlay.h"
#include "editor/reduced_view.h"

namespace plexor {
namespace {

// Copies the rows of `part` of one buffer into another of the same picture.
void CopyPart(const PixelBuffer& from, PixelBuffer& to, std::int32_t width, const PixelRect& part) noexcept
{
    const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(part.X1 - part.X0);
    for (std::int32_t y = part.Y0; y < part.Y1; ++y) {
        const std::size_t at = std::size_t{3} * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                                 static_cast<std::size_t>(part.X0));
        std::memcpy(to.data() + at, from.data() + at, rowBytes);
    }
}

// Copies the parts of WorkImage into ViewImage and averages them into the
// reduced view, while the caller keeps the worker off WorkImage.
void TakeWorkImage(DeformModel& model, ReducedView* reduced, std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) CopyPart(model.WorkImage, model.ViewImage, model.ImageWidth, part);
    // The three pixels after the last row belong to no part.
    const std::size_t spare =
        std::size_t{3} * static_cast<std::size_t>(model.ImageWidth) * static_cast<std::size_t>(model.ImageHeight);
    std::memcpy(model.ViewImage.data() + spare, model.WorkImage.data() + spare, 9);
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->Average(model, reduced->ScreenRectOf(part));
}

// Draws the overlay over the parts, pushes them and repaints them.
void ShowParts(DeformModel& model, RefreshHost& host, ReducedView* reduced, std::span<const PixelRect> parts)
{
    if (host.OverlayVisible()) {
        for (const PixelRect& part : parts) DrawOverlay(model, ViewCanvas::Of(model, part));
        if (reduced != nullptr)
            for (const PixelRect& part : parts) reduced->DrawOverlay(model, reduced->ScreenRectOf(part));
    }
    host.PushView(parts);
    host.RepaintImage(parts);
}

} // namespace

void Refresh(DeformModel& model, RefreshHost& host)
{
    if (!model.ImageLoaded) {
        RectSet ignored;
        bool all = false;
        model.Changes.Take(ignored, all);
        return;
    }
    ReducedView* reduced = host.Reduced();
    const PixelRect picture{0, 0, model.ImageWidth, model.ImageHeight};
    std::array<PixelRect, RectSet::kCapacity> parts;
    std::size_t count = 0;
    {
        // The worker writes WorkImage and marks what it wrote, both while it
        // holds its side of the gate: what it has written by now is marked,
        // and it waits while the parts are taken. It goes on while the
        // overlay is drawn.
        WorkerHold hold(model.Gate);
        RectSet changed;
        bool all = false;
        model.Changes.Take(changed, all);
        if (all) {
            parts[count++] = picture;
        } else {
            for (const PixelRect& rect : changed) {
                const PixelRect part = reduced != nullptr ? reduced->PicturePartFor(rect) : rect.Intersection(picture);
                if (!part.Empty()) parts[count++] = part;
            }
        }
        TakeWorkImage(model, reduced, std::span<const PixelRect>(parts.data(), count));
    }
    ShowParts(model, host, reduced, std::span<const PixelRect>(parts.data(), count));
}

void RefreshWhole(DeformModel& model, RefreshHost& host)
{
    if (!model.ImageLoaded) return;
    ReducedView* reduced = host.Reduced();
    const PixelRect whole{0, 0, model.ImageWidth, model.ImageHeight};
    {
        WorkerHold hold(model.Gate);
        TakeWorkImage(model, reduced, std::span<const PixelRect>(&whole, 1));
    }
    ShowParts(model, host, reduced, std::span<const PixelRect>(&whole, 1));
}

} // namespace plexor
