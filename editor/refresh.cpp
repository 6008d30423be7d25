#include "editor/refresh.h"

#include <array>
#include <cstring>

#include "editor/draw_overlay.h"
#include "editor/reduced_view.h"

namespace plexor {
namespace {

// Copies the rows of `part` of one buffer into another of the same picture,
// `bytes` a pixel.
void copyPart(const ByteBuffer& from, ByteBuffer& to, std::size_t bytes, std::int32_t width,
              const PixelRect& part) noexcept
{
    const std::size_t rowBytes = bytes * static_cast<std::size_t>(part.x1 - part.x0);
    for (std::int32_t y = part.y0; y < part.y1; ++y) {
        const std::size_t at =
            bytes * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(part.x0));
        std::memcpy(to.data() + at, from.data() + at, rowBytes);
    }
}

// The overlay shows opaque over a transparent picture: where it has drawn in
// a part, the view's alpha is full. What it drew is what differs from
// workImage, which the worker must not change meanwhile.
void makeOverlayOpaque(DeformModel& model, const PixelRect& part) noexcept
{
    const std::size_t width = static_cast<std::size_t>(model.imageWidth());
    for (std::int32_t y = part.y0; y < part.y1; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (std::int32_t x = part.x0; x < part.x1; ++x) {
            const std::size_t i = row + static_cast<std::size_t>(x);
            if (std::memcmp(model.viewImage().data() + 3 * i, model.workImage().data() + 3 * i, 3) != 0)
                model.viewAlpha()[i] = 255;
        }
    }
}

// Copies the parts of workImage into viewImage and averages them into the
// reduced view, while the caller keeps the worker off workImage.
void takeWorkImage(DeformModel& model, ReducedView* reduced, std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        copyPart(model.workImage(), model.viewImage(), 3, model.imageWidth(), part);
        if (model.hasAlpha()) copyPart(model.workAlpha(), model.viewAlpha(), 1, model.imageWidth(), part);
    }
    // The three pixels after the last row belong to no part.
    const std::size_t spare =
        std::size_t{3} * static_cast<std::size_t>(model.imageWidth()) * static_cast<std::size_t>(model.imageHeight());
    std::memcpy(model.viewImage().data() + spare, model.workImage().data() + spare, 9);
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->average(model, reduced->screenRectOf(part));
}

// Draws the overlay over the parts, when it is shown.
void drawParts(DeformModel& model, RefreshHost& host, ReducedView* reduced, std::span<const PixelRect> parts)
{
    if (!host.overlayVisible()) return;
    for (const PixelRect& part : parts) {
        drawOverlay(model, ViewCanvas::of(model, part));
        if (model.hasAlpha()) makeOverlayOpaque(model, part);
    }
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->drawOverlay(model, reduced->screenRectOf(part));
}

// Draws the overlay over the parts, pushes them and repaints them. The
// overlay of a picture with alpha is drawn while the worker is held.
void showParts(DeformModel& model, RefreshHost& host, ReducedView* reduced, std::span<const PixelRect> parts)
{
    if (!model.hasAlpha()) drawParts(model, host, reduced, parts);
    host.pushView(parts);
    host.repaintImage(parts);
}

} // namespace

void refresh(DeformModel& model, RefreshHost& host)
{
    if (!model.imageLoaded()) {
        RectSet ignored;
        bool all = false;
        model.changes().take(ignored, all);
        return;
    }
    ReducedView* reduced = host.reduced();
    const PixelRect picture{0, 0, model.imageWidth(), model.imageHeight()};
    std::array<PixelRect, RectSet::kCapacity> parts;
    std::size_t count = 0;
    {
        // The worker writes workImage and marks what it wrote, both while it
        // holds its side of the gate: what it has written by now is marked,
        // and it waits while the parts are taken. It goes on while the
        // overlay is drawn.
        WorkerHold hold(model.gate());
        RectSet changed;
        bool all = false;
        model.changes().take(changed, all);
        if (all) {
            parts[count++] = picture;
        } else {
            for (const PixelRect& rect : changed) {
                const PixelRect part = reduced != nullptr ? reduced->picturePartFor(rect) : rect.intersection(picture);
                if (!part.empty()) parts[count++] = part;
            }
        }
        takeWorkImage(model, reduced, std::span<const PixelRect>(parts.data(), count));
        if (model.hasAlpha()) drawParts(model, host, reduced, std::span<const PixelRect>(parts.data(), count));
    }
    showParts(model, host, reduced, std::span<const PixelRect>(parts.data(), count));
}

void refreshWhole(DeformModel& model, RefreshHost& host)
{
    if (!model.imageLoaded()) return;
    ReducedView* reduced = host.reduced();
    const PixelRect whole{0, 0, model.imageWidth(), model.imageHeight()};
    {
        WorkerHold hold(model.gate());
        takeWorkImage(model, reduced, std::span<const PixelRect>(&whole, 1));
        if (model.hasAlpha()) drawParts(model, host, reduced, std::span<const PixelRect>(&whole, 1));
    }
    showParts(model, host, reduced, std::span<const PixelRect>(&whole, 1));
}

} // namespace plexor
