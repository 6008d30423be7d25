#include "editor/reduced_view.h"

#include <algorithm>

#include "editor/draw_overlay.h"
#include "editor/screen_colours.h"

namespace plexor {

void ReducedView::setWindow(Zoom zoom, const PixelRect& window, std::int32_t width, std::int32_t height)
{
    zoom_ = zoom;
    pictureWidth_ = width;
    pictureHeight_ = height;
    const PixelRect reduced{0, 0, static_cast<std::int32_t>(zoom.screenLength(width)),
                            static_cast<std::int32_t>(zoom.screenLength(height))};
    window_ = window.intersection(reduced);
    if (window_.empty()) window_ = PixelRect{};
    const std::int32_t columns = window_.x1 - window_.x0;
    stride_ = (std::ptrdiff_t{3} * columns + 3) / 4 * 4;
    const std::size_t bytes = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(window_.y1 - window_.y0);
    if (pixels_.size() < bytes) pixels_.resize(bytes);
    if (columnStarts_.size() < static_cast<std::size_t>(columns) + 1) columnStarts_.resize(columns + 1);
    for (std::int32_t s = 0; s <= columns; ++s)
        columnStarts_[s] = static_cast<std::int32_t>(
            std::min<std::int64_t>(zoom.firstPictureAtOrAfter(window_.x0 + s), std::int64_t{width}));
}

PixelRect ReducedView::shownPart() const noexcept
{
    const auto first = [this](std::int32_t s) {
        return static_cast<std::int32_t>(std::max<std::int64_t>(zoom_.firstPictureAtOrAfter(s), 0));
    };
    const PixelRect part{first(window_.x0), first(window_.y0), first(window_.x1), first(window_.y1)};
    return part.intersection(PixelRect{0, 0, pictureWidth_, pictureHeight_});
}

PixelRect ReducedView::picturePartFor(const PixelRect& changed) const noexcept
{
    // A marker reaches from one screen pixel before its position to two
    // after; in picture pixels that is up to three screen pixels' worth.
    const std::int32_t margin = static_cast<std::int32_t>(Zoom::ceilDiv(3 * zoom_.den, zoom_.num)) + 2;
    const PixelRect grown = changed.grown(margin, margin, margin, margin);
    const PixelRect screen = screenRectOf(grown);
    // Back to whole screen pixels: every picture pixel that any of them covers.
    const auto first = [this](std::int32_t s) {
        return static_cast<std::int32_t>(std::max<std::int64_t>(zoom_.firstPictureAtOrAfter(s), 0));
    };
    const PixelRect whole{first(screen.x0), first(screen.y0), first(screen.x1), first(screen.y1)};
    return whole.intersection(PixelRect{0, 0, pictureWidth_, pictureHeight_});
}

PixelRect ReducedView::screenRectOf(const PixelRect& picture) const noexcept
{
    if (picture.empty()) return PixelRect{};
    return PixelRect{static_cast<std::int32_t>(zoom_.toScreen(picture.x0)),
                     static_cast<std::int32_t>(zoom_.toScreen(picture.y0)),
                     static_cast<std::int32_t>(zoom_.toScreen(picture.x1 - 1) + 1),
                     static_cast<std::int32_t>(zoom_.toScreen(picture.y1 - 1) + 1)};
}

template <class Average>
void ReducedView::forEachBlock(const PixelRect& area, Average&& average) noexcept
{
    for (std::int32_t sy = area.y0; sy < area.y1; ++sy) {
        const auto top = static_cast<std::int32_t>(zoom_.firstPictureAtOrAfter(sy));
        const auto bottom =
            static_cast<std::int32_t>(std::min<std::int64_t>(zoom_.firstPictureAtOrAfter(sy + 1), pictureHeight_));
        std::uint8_t* out = pixels_.data() + static_cast<std::ptrdiff_t>(sy - window_.y0) * stride_ +
                            std::ptrdiff_t{3} * (area.x0 - window_.x0);
        for (std::int32_t sx = area.x0; sx < area.x1; ++sx, out += 3) {
            const std::int32_t left = columnStarts_[static_cast<std::size_t>(sx - window_.x0)];
            const std::int32_t right = columnStarts_[static_cast<std::size_t>(sx - window_.x0) + 1];
            average(out, PixelRect{left, top, right, bottom}, sx, sy);
        }
    }
}

void ReducedView::average(const PictureBuffers& picture, const PixelRect& screen) noexcept
{
    const PixelRect area = screen.intersection(window_);
    if (area.empty() || !picture.hasPicture()) return;
    if (picture.hasAlpha()) {
        averageOverChecker(picture, area);
        return;
    }
    const std::uint8_t* work = picture.view().colours.data();
    const std::size_t pictureStride = std::size_t{3} * static_cast<std::size_t>(picture.width());
    forEachBlock(area, [&](std::uint8_t* out, const PixelRect& block, std::int32_t, std::int32_t) {
        std::uint32_t blue = 0, green = 0, red = 0;
        for (std::int32_t y = block.y0; y < block.y1; ++y) {
            const std::uint8_t* p = work + static_cast<std::size_t>(y) * pictureStride + std::size_t{3} * block.x0;
            for (std::int32_t x = block.x0; x < block.x1; ++x, p += 3) {
                blue += p[0];
                green += p[1];
                red += p[2];
            }
        }
        // Every screen pixel of the reduced picture covers at least one
        // picture pixel.
        const auto count = static_cast<std::uint32_t>(block.area());
        out[0] = static_cast<std::uint8_t>((blue + count / 2) / count);
        out[1] = static_cast<std::uint8_t>((green + count / 2) / count);
        out[2] = static_cast<std::uint8_t>((red + count / 2) / count);
    });
}

void ReducedView::averageOverChecker(const PictureBuffers& picture, const PixelRect& area) noexcept
{
    const std::uint8_t* work = picture.view().colours.data();
    const std::uint8_t* alpha = picture.view().alpha.data();
    const std::size_t width = static_cast<std::size_t>(picture.width());
    forEachBlock(area, [&](std::uint8_t* out, const PixelRect& block, std::int32_t sx, std::int32_t sy) {
        std::uint32_t sums[3] = {}, opacity = 0;
        for (std::int32_t y = block.y0; y < block.y1; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * width;
            for (std::int32_t x = block.x0; x < block.x1; ++x) {
                const std::uint8_t* p = work + 3 * (row + static_cast<std::size_t>(x));
                const std::uint32_t a = alpha[row + static_cast<std::size_t>(x)];
                for (int c = 0; c < 3; ++c) sums[c] += p[c] * a;
                opacity += a;
            }
        }
        // The mean of the pixels as shown over the screen's checkerboard.
        const std::uint32_t full = 255 * static_cast<std::uint32_t>(block.area());
        const std::uint32_t checker = ScreenColours::checkerAt(sx, sy);
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>((sums[c] + ((checker >> (8 * c)) & 0xFF) * (full - opacity) + full / 2) /
                                               full);
    });
}

void ReducedView::drawOverlay(const ControlGrid& grid, const PixelRect& screen) noexcept
{
    ViewCanvas canvas;
    canvas.pixels = pixels_.data();
    canvas.stride = stride_;
    canvas.originX = window_.x0;
    canvas.originY = window_.y0;
    canvas.width = static_cast<std::int32_t>(zoom_.screenLength(pictureWidth_));
    canvas.height = static_cast<std::int32_t>(zoom_.screenLength(pictureHeight_));
    canvas.clip = screen.intersection(window_);
    plexor::drawOverlay(grid, canvas, zoom_);
}

} // namespace plexor
