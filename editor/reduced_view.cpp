#include "editor/reduced_view.h"

#include <algorithm>

#include "editor/draw_overlay.h"

namespace plexor {

void ReducedView::SetWindow(Zoom zoom, const PixelRect& window, std::int32_t width, std::int32_t height)
{
    zoom_ = zoom;
    pictureWidth_ = width;
    pictureHeight_ = height;
    const PixelRect reduced{0, 0, static_cast<std::int32_t>(zoom.ScreenLength(width)),
                            static_cast<std::int32_t>(zoom.ScreenLength(height))};
    window_ = window.Intersection(reduced);
    if (window_.Empty()) window_ = PixelRect{};
    const std::int32_t columns = window_.X1 - window_.X0;
    stride_ = (std::ptrdiff_t{3} * columns + 3) / 4 * 4;
    const std::size_t bytes = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(window_.Y1 - window_.Y0);
    if (pixels_.size() < bytes) pixels_.resize(bytes);
    if (columnStarts_.size() < static_cast<std::size_t>(columns) + 1) columnStarts_.resize(columns + 1);
    for (std::int32_t s = 0; s <= columns; ++s)
        columnStarts_[s] = static_cast<std::int32_t>(
            std::min<std::int64_t>(zoom.FirstPictureAtOrAfter(window_.X0 + s), std::int64_t{width}));
}

void ReducedView::Render(const DeformModel& model, bool overlay) noexcept
{
    Average(model, window_);
    if (overlay) DrawOverlay(model, window_);
}

PixelRect ReducedView::PicturePartFor(const PixelRect& changed) const noexcept
{
    // A marker reaches from one screen pixel before its position to two
    // after; in picture pixels that is up to three screen pixels' worth.
    const std::int32_t margin = static_cast<std::int32_t>(Zoom::CeilDiv(3 * zoom_.Den, zoom_.Num)) + 2;
    const PixelRect grown = changed.Grown(margin, margin, margin, margin);
    const PixelRect screen = ScreenRectOf(grown);
    // Back to whole screen pixels: every picture pixel that any of them covers.
    const auto first = [this](std::int32_t s) {
        return static_cast<std::int32_t>(std::max<std::int64_t>(zoom_.FirstPictureAtOrAfter(s), 0));
    };
    const PixelRect whole{first(screen.X0), first(screen.Y0), first(screen.X1), first(screen.Y1)};
    return whole.Intersection(PixelRect{0, 0, pictureWidth_, pictureHeight_});
}

PixelRect ReducedView::ScreenRectOf(const PixelRect& picture) const noexcept
{
    if (picture.Empty()) return PixelRect{};
    return PixelRect{static_cast<std::int32_t>(zoom_.ToScreen(picture.X0)),
                     static_cast<std::int32_t>(zoom_.ToScreen(picture.Y0)),
                     static_cast<std::int32_t>(zoom_.ToScreen(picture.X1 - 1) + 1),
                     static_cast<std::int32_t>(zoom_.ToScreen(picture.Y1 - 1) + 1)};
}

void ReducedView::Average(const DeformModel& model, const PixelRect& screen) noexcept
{
    const PixelRect area = screen.Intersection(window_);
    if (area.Empty() || !model.ImageLoaded) return;
    const std::uint8_t* work = model.WorkImage.data();
    const std::size_t pictureStride = std::size_t{3} * static_cast<std::size_t>(model.ImageWidth);
    for (std::int32_t sy = area.Y0; sy < area.Y1; ++sy) {
        const auto top = static_cast<std::int32_t>(zoom_.FirstPictureAtOrAfter(sy));
        const auto bottom =
            static_cast<std::int32_t>(std::min<std::int64_t>(zoom_.FirstPictureAtOrAfter(sy + 1), pictureHeight_));
        std::uint8_t* out = pixels_.data() + static_cast<std::ptrdiff_t>(sy - window_.Y0) * stride_ +
                            std::ptrdiff_t{3} * (area.X0 - window_.X0);
        for (std::int32_t sx = area.X0; sx < area.X1; ++sx, out += 3) {
            const std::int32_t left = columnStarts_[static_cast<std::size_t>(sx - window_.X0)];
            const std::int32_t right = columnStarts_[static_cast<std::size_t>(sx - window_.X0) + 1];
            std::uint32_t blue = 0, green = 0, red = 0;
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint8_t* p = work + static_cast<std::size_t>(y) * pictureStride + std::size_t{3} * left;
                for (std::int32_t x = left; x < right; ++x, p += 3) {
                    blue += p[0];
                    green += p[1];
                    red += p[2];
                }
            }
            // Every screen pixel of the reduced picture covers at least one
            // picture pixel.
            const std::uint32_t count = static_cast<std::uint32_t>((right - left) * (bottom - top));
            out[0] = static_cast<std::uint8_t>((blue + count / 2) / count);
            out[1] = static_cast<std::uint8_t>((green + count / 2) / count);
            out[2] = static_cast<std::uint8_t>((red + count / 2) / count);
        }
    }
}

void ReducedView::DrawOverlay(const DeformModel& model, const PixelRect& screen) noexcept
{
    ViewCanvas canvas;
    canvas.Pixels = pixels_.data();
    canvas.Stride = stride_;
    canvas.OriginX = window_.X0;
    canvas.OriginY = window_.Y0;
    canvas.Width = static_cast<std::int32_t>(zoom_.ScreenLength(pictureWidth_));
    canvas.Height = static_cast<std::int32_t>(zoom_.ScreenLength(pictureHeight_));
    canvas.Clip = screen.Intersection(window_);
    plexor::DrawOverlay(model, canvas, zoom_);
}

} // namespace plexor
