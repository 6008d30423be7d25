#include "editor/refresh.h"

#include <cstring>

#include "editor/draw_overlay.h"

namespace plexor {
namespace {

// The overlay shows opaque over a transparent picture: where it has drawn in
// a part, the view's alpha is full. What it drew is what differs from work,
// which the worker must not change meanwhile.
void makeOverlayOpaque(PictureBuffers& picture, const PixelRect& part) noexcept
{
    const std::size_t width = static_cast<std::size_t>(picture.width());
    PixelPlanes& view = picture.viewToDraw();
    const std::uint8_t* work = picture.work().colours.data();
    for (std::int32_t y = part.y0; y < part.y1; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (std::int32_t x = part.x0; x < part.x1; ++x) {
            const std::size_t i = row + static_cast<std::size_t>(x);
            if (std::memcmp(view.colours.data() + 3 * i, work + 3 * i, 3) != 0) view.alpha[i] = 255;
        }
    }
}

// Copies the parts of work into the view and averages them into the reduced
// view, while the caller keeps the worker off work.
void takeWork(PictureBuffers& picture, ReducedView* reduced, std::span<const PixelRect> parts)
{
    picture.showWork(parts);
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->average(picture, reduced->screenRectOf(part));
}

// Draws the overlay over the parts, when it is shown.
void drawParts(PictureBuffers& picture, const ControlGrid& grid, ReducedView* reduced, bool overlay,
               std::span<const PixelRect> parts)
{
    if (!overlay) return;
    for (const PixelRect& part : parts) {
        drawOverlay(grid, ViewCanvas::of(picture, part));
        if (picture.hasAlpha()) makeOverlayOpaque(picture, part);
    }
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->drawOverlay(grid, reduced->screenRectOf(part));
}

// Takes the parts and draws the overlay over them. The worker writes work
// and marks what it wrote, both while it holds its side of the gate: what it
// has written by now is marked, and it waits while the parts are taken. It
// goes on while the overlay is drawn, but for a picture with alpha, whose
// overlay is found by comparing with work.
template <class Take>
RefreshParts show(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced, bool overlay,
                  Take&& take)
{
    RefreshParts shown;
    {
        WorkerHold hold(work.gate());
        take(shown);
        takeWork(picture, reduced, shown.parts());
        if (picture.hasAlpha()) drawParts(picture, grid, reduced, overlay, shown.parts());
    }
    if (!picture.hasAlpha()) drawParts(picture, grid, reduced, overlay, shown.parts());
    return shown;
}

} // namespace

RefreshParts refresh(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                     bool overlay)
{
    if (!picture.hasPicture()) {
        RectSet ignored;
        bool all = false;
        work.changes().take(ignored, all);
        return {};
    }
    const PixelRect whole{0, 0, picture.width(), picture.height()};
    return show(picture, grid, work, reduced, overlay, [&](RefreshParts& shown) {
        RectSet changed;
        bool all = false;
        work.changes().take(changed, all);
        if (all) {
            shown.rects[shown.count++] = whole;
            return;
        }
        for (const PixelRect& rect : changed) {
            const PixelRect part = reduced != nullptr ? reduced->picturePartFor(rect) : rect.intersection(whole);
            if (!part.empty()) shown.rects[shown.count++] = part;
        }
    });
}

RefreshParts refreshWhole(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                          bool overlay)
{
    if (!picture.hasPicture()) return {};
    return show(picture, grid, work, reduced, overlay, [&](RefreshParts& shown) {
        shown.rects[shown.count++] = PixelRect{0, 0, picture.width(), picture.height()};
    });
}

} // namespace plexor
