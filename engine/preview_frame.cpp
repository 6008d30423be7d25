#include "engine/preview_frame.h"

#include <cstring>

namespace plexor {
namespace {

// Calls copy(picture pixel index, frame pixel index, pixels) for each row of
// `part` within `rect`, whose pixels start at `offset` in the frame.
template <class Copy>
void forEachRow(const PixelRect& rect, std::size_t offset, const PixelRect& part, std::int32_t width, Copy&& copy)
{
    const PixelRect common = rect.intersection(part);
    if (common.empty()) return;
    const std::size_t stride = static_cast<std::size_t>(rect.x1 - rect.x0);
    const auto count = static_cast<std::size_t>(common.x1 - common.x0);
    for (std::int32_t y = common.y0; y < common.y1; ++y) {
        const std::size_t picture =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(common.x0);
        const std::size_t frame =
            offset + static_cast<std::size_t>(y - rect.y0) * stride + static_cast<std::size_t>(common.x0 - rect.x0);
        copy(picture, frame, count);
    }
}

} // namespace

void PreviewFrame::take(const RectSet& rects, const PixelPlanes& planes, std::int32_t width)
{
    std::size_t pixels = 0;
    std::size_t k = 0;
    for (const PixelRect& rect : rects) {
        offsets_[k++] = pixels;
        pixels += static_cast<std::size_t>(rect.area());
    }
    alpha_ = !planes.alpha.empty();
    if (colours_.size() < 3 * pixels) colours_.resize(3 * pixels);
    if (alpha_ && alphas_.size() < pixels) alphas_.resize(pixels);
    rects_ = rects;
    k = 0;
    for (const PixelRect& rect : rects_) {
        forEachRow(rect, offsets_[k++], rect, width, [&](std::size_t at, std::size_t to, std::size_t count) {
            std::memcpy(colours_.data() + 3 * to, planes.colours.data() + 3 * at, 3 * count);
            if (alpha_) std::memcpy(alphas_.data() + to, planes.alpha.data() + at, count);
        });
    }
}

void PreviewFrame::copyInto(PixelPlanes& view, std::int32_t width, const PixelRect& part) const noexcept
{
    std::size_t k = 0;
    for (const PixelRect& rect : rects_) {
        forEachRow(rect, offsets_[k++], part, width, [&](std::size_t at, std::size_t from, std::size_t count) {
            std::memcpy(view.colours.data() + 3 * at, colours_.data() + 3 * from, 3 * count);
            if (alpha_ && !view.alpha.empty()) std::memcpy(view.alpha.data() + at, alphas_.data() + from, count);
        });
    }
}

const std::uint8_t* PreviewFrame::colourAt(std::int32_t x, std::int32_t y) const noexcept
{
    std::size_t k = 0;
    for (const PixelRect& rect : rects_) {
        const std::size_t offset = offsets_[k++];
        if (rect.contains(x, y))
            return colours_.data() + 3 * (offset + static_cast<std::size_t>(y - rect.y0) * (rect.x1 - rect.x0) +
                                          static_cast<std::size_t>(x - rect.x0));
    }
    return nullptr;
}

} // namespace plexor
