#include "editor/refresh.h"

#include <cstring>

#include "editor/draw_overlay.h"

namespace plexor {
namespace {

// What the view shows under the overlay: work, or the live frame where it
// holds a pixel.
struct Shown {
    const PictureBuffers& picture;
    const PreviewFrame* frame;

    bool live() const noexcept { return frame != nullptr && !frame->empty(); }
    const std::uint8_t* colourAt(std::int32_t x, std::int32_t y, std::size_t i) const noexcept
    {
        const std::uint8_t* live = this->live() ? frame->colourAt(x, y) : nullptr;
        return live != nullptr ? live : picture.work().colours.data() + 3 * i;
    }
};

// The overlay shows opaque over a transparent picture: where it has drawn in
// a part, the view's alpha is full. What it drew is what differs from what
// is shown under it, which the worker must not change meanwhile.
void makeOverlayOpaque(PictureBuffers& picture, const Shown& shown, const PixelRect& part) noexcept
{
    const std::size_t width = static_cast<std::size_t>(picture.width());
    PixelPlanes& view = picture.viewToDraw();
    for (std::int32_t y = part.y0; y < part.y1; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (std::int32_t x = part.x0; x < part.x1; ++x) {
            const std::size_t i = row + static_cast<std::size_t>(x);
            if (std::memcmp(view.colours.data() + 3 * i, shown.colourAt(x, y, i), 3) != 0) view.alpha[i] = 255;
        }
    }
}

// Copies the parts of work, and of the live frame, into the view and
// averages them into the reduced view, while the caller keeps the worker
// from writing work.
void takeWork(PictureBuffers& picture, const Shown& shown, ReducedView* reduced, std::span<const PixelRect> parts)
{
    picture.showWork(parts);
    if (shown.live())
        for (const PixelRect& part : parts) shown.frame->copyInto(picture.viewToDraw(), picture.width(), part);
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->average(picture, reduced->screenRectOf(part));
}

// Draws the overlay over the parts, when it is shown.
void drawParts(PictureBuffers& picture, const Shown& shown, const ControlGrid& grid, ReducedView* reduced, bool overlay,
               std::span<const PixelRect> parts)
{
    if (!overlay) return;
    for (const PixelRect& part : parts) {
        drawOverlay(grid, ViewCanvas::of(picture, part));
        if (picture.hasAlpha()) makeOverlayOpaque(picture, shown, part);
    }
    if (reduced != nullptr)
        for (const PixelRect& part : parts) reduced->drawOverlay(grid, reduced->screenRectOf(part));
}

// Takes the parts and draws the overlay over them. The worker writes work
// and marks what it wrote, both while it holds its side of the gate: what it
// has written by now is marked, and it waits while the parts are taken. It
// goes on while the overlay is drawn, but for a picture with alpha, whose
// overlay is found by comparing with what is shown under it.
template <class Take>
RefreshParts show(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced, bool overlay,
                  const PreviewFrame* frame, Take&& take)
{
    const Shown under{picture, frame};
    RefreshParts parts;
    {
        WorkerReadHold hold(work.gate());
        take(parts);
        takeWork(picture, under, reduced, parts.parts());
        if (picture.hasAlpha()) drawParts(picture, under, grid, reduced, overlay, parts.parts());
    }
    if (!picture.hasAlpha()) drawParts(picture, under, grid, reduced, overlay, parts.parts());
    return parts;
}

} // namespace

RefreshParts refresh(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                     bool overlay, const PreviewFrame* frame)
{
    if (!picture.hasPicture()) {
        RectSet ignored;
        bool all = false;
        work.changes().take(ignored, all);
        return {};
    }
    const PixelRect whole{0, 0, picture.width(), picture.height()};
    return show(picture, grid, work, reduced, overlay, frame, [&](RefreshParts& shown) {
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

RefreshParts refreshPart(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                         bool overlay, const PreviewFrame* frame, const PixelRect& part)
{
    if (!picture.hasPicture()) return {};
    return show(picture, grid, work, reduced, overlay, frame, [&](RefreshParts& shown) {
        const PixelRect inside = part.intersection(PixelRect{0, 0, picture.width(), picture.height()});
        if (!inside.empty()) shown.rects[shown.count++] = inside;
    });
}

RefreshParts refreshWhole(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, ReducedView* reduced,
                          bool overlay, const PreviewFrame* frame)
{
    return refreshPart(picture, grid, work, reduced, overlay, frame,
                       PixelRect{0, 0, picture.width(), picture.height()});
}

} // namespace plexor
