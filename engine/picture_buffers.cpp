#include "engine/picture_buffers.h"

#include <cassert>
#include <cstring>
#include <limits>
#include <new>

#include "engine/change_region.h"
#include "engine/plane_rect.h"
#include "engine/tile_store.h"
#include "platform/dib_transfer.h"

namespace plexor {
namespace {

// Pixels of a plane for width x height, or nothing when the count is not a
// valid signed 32-bit capacity.
std::optional<std::int64_t> capacityFor(std::int32_t width, std::int32_t height)
{
    if (width < 0 || height < 0) return std::nullopt;
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height + 3;
    if (pixels > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return pixels;
}

// A buffer of `bytes`, or an empty one when the system refuses it.
ByteBuffer tryObtain(std::size_t bytes) noexcept
{
    try {
        return ByteBuffer::uninitialised(bytes);
    } catch (const std::bad_alloc&) {
        return ByteBuffer();
    }
}

void copyWhole(const ByteBuffer& from, ByteBuffer& to) noexcept
{
    assert(from.size() == to.size());
    if (!from.empty()) std::memcpy(to.data(), from.data(), from.size());
}

void copyPlanes(const PixelPlanes& from, PixelPlanes& to) noexcept
{
    copyWhole(from.colours, to.colours);
    copyWhole(from.alpha, to.alpha);
}

} // namespace

std::optional<MemoryShortfall> PictureBuffers::shortfall(std::int32_t width, std::int32_t height, bool alpha,
                                                         std::uint64_t available)
{
    const std::optional<std::int64_t> pixels = capacityFor(width, height);
    if (!pixels) return MemoryShortfall::Source;
    // The new buffers are obtained while the old ones are still held.
    const std::uint64_t bytes = static_cast<std::uint64_t>(*pixels) * 3;
    const std::uint64_t alphaBytes = alpha ? static_cast<std::uint64_t>(*pixels) * 3 : 0;
    if (bytes > available) return MemoryShortfall::Source;
    if (3 * bytes + static_cast<std::uint64_t>(*pixels) + alphaBytes > available) return MemoryShortfall::Destination;
    return std::nullopt;
}

std::optional<MemoryShortfall> PictureBuffers::replace(std::int32_t width, std::int32_t height, bool alpha,
                                                       std::uint64_t available)
{
    assert(width % 4 == 0);
    if (const std::optional<MemoryShortfall> missing = shortfall(width, height, alpha, available)) return missing;
    const std::int64_t pixels = *capacityFor(width, height);
    const std::size_t bytes = static_cast<std::size_t>(pixels) * 3;

    // Each buffer is obtained in turn; a refusal drops those obtained so far
    // and leaves everything as it was.
    PixelPlanes planes[3];
    planes[0].colours = tryObtain(bytes);
    if (planes[0].colours.empty()) return MemoryShortfall::Source;
    planes[1].colours = tryObtain(bytes);
    if (!planes[1].colours.empty()) planes[2].colours = tryObtain(bytes);
    ByteBuffer marks = planes[2].colours.empty() ? ByteBuffer() : tryObtain(static_cast<std::size_t>(pixels));
    // An opaque picture has no alpha and costs nothing more.
    bool complete = !marks.empty();
    if (alpha && complete)
        for (PixelPlanes& plane : planes) {
            plane.alpha = tryObtain(static_cast<std::size_t>(pixels));
            complete = !plane.alpha.empty();
            if (!complete) break;
        }
    if (!complete) return MemoryShortfall::Destination;
    std::memset(marks.data(), 0, marks.size());
    // The three pixels after the last row belong to no row; keep them black
    // so that nothing unset is ever read from a buffer.
    for (PixelPlanes& plane : planes) {
        std::memset(plane.colours.data() + bytes - 9, 0, 9);
        if (!plane.alpha.empty()) std::memset(plane.alpha.data() + plane.alpha.size() - 3, 0, 3);
    }

    width_ = width;
    height_ = height;
    capacity_ = static_cast<std::int32_t>(pixels);
    work_ = std::move(planes[0]);
    view_ = std::move(planes[1]);
    source_ = std::move(planes[2]);
    marks_ = std::move(marks);
    opened_.release();
    return std::nullopt;
}

void PictureBuffers::release() noexcept
{
    *this = PictureBuffers();
}

bool PictureBuffers::load(const Bitmap& bitmap, std::span<const std::uint8_t> alpha)
{
    assert(hasPicture() && bitmap.width() == width_ && bitmap.height() == height_);
    if (!alpha.empty()) {
        assert(hasAlpha() && alpha.size() <= work_.alpha.size());
        std::memcpy(work_.alpha.data(), alpha.data(), alpha.size());
    }
    const bool read =
        copyRowsFromBitmap(bitmap, 0, height_, work_.colours.data(), DibHeader::topDownRows24(width_, height_)) != 0;
    // Nothing was read: the picture starts black rather than unset.
    if (!read) std::memset(work_.colours.data(), 0, work_.colours.size());
    copyPlanes(work_, view_);
    copyPlanes(work_, source_);
    return read;
}

void PictureBuffers::restoreWork()
{
    copyPlanes(source_, work_);
}

void PictureBuffers::blackOutMargins(const GridGeometry& g)
{
    if (!hasPicture()) return;
    const std::int32_t w = width_;
    [[maybe_unused]] const std::int32_t h = height_;
    for (const auto& [plane, bytes] : {std::pair{&work_.colours, 3}, std::pair{&work_.alpha, 1}}) {
        if (plane->empty()) continue;
        // Black and transparent, in an alpha plane: what a grey picture
        // holding the alpha would become. A grid built for the picture
        // keeps every strip inside it: a margin is half of what the whole
        // steps leave over, rounded down.
        for (const PixelRect& strip :
             {PixelRect{0, 0, w, g.marginY}, PixelRect{0, g.bottom(), w, g.bottom() + g.marginY},
              PixelRect{0, g.marginY, g.marginX, g.bottom()},
              PixelRect{g.right(), g.marginY, g.right() + g.marginX, g.bottom()}}) {
            assert(strip.empty() || (PixelRect{0, 0, w, h}.intersection(strip) == strip));
            clearRect(*plane, bytes, w, strip);
        }
    }
}

void PictureBuffers::showWork(std::span<const PixelRect> parts)
{
    if (!hasPicture()) return;
    for (const PixelRect& part : parts) {
        copyRect(work_.colours, view_.colours, 3, width_, part);
        if (hasAlpha()) copyRect(work_.alpha, view_.alpha, 1, width_, part);
    }
    // The three pixels after the last row belong to no part.
    const std::size_t spare = std::size_t{3} * static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    std::memcpy(view_.colours.data() + spare, work_.colours.data() + spare, 9);
}

SplatTarget PictureBuffers::splatTarget() noexcept
{
    SplatTarget target{work_.colours.data(), marks_.data(), source_.colours.data(), capacity_, width_, height_};
    if (hasAlpha()) {
        target.workAlpha = work_.alpha.data();
        target.sourceAlpha = source_.alpha.data();
    }
    return target;
}

void PictureBuffers::clearMarks(const RectSet& rects) noexcept
{
    if (marks_.empty()) return;
    const PixelRect picture{0, 0, width_, height_};
    for (const PixelRect& rect : rects) {
        const PixelRect part = rect.intersection(picture);
        if (part.empty()) continue;
        for (std::int32_t y = part.y0; y < part.y1; ++y)
            std::memset(marks_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + part.x0, 0,
                        static_cast<std::size_t>(part.x1 - part.x0));
    }
    // The three pixels after the last row lie beyond every rectangle.
    std::memset(marks_.data() + marks_.size() - 3, 0, 3);
}

void PictureBuffers::clearAllMarks() noexcept
{
    if (!marks_.empty()) std::memset(marks_.data(), 0, marks_.size());
}

void PictureBuffers::restoreWork(const TileStore& tiles, ChangeRegion& changes)
{
    tiles.restore(work_, changes);
}

void PictureBuffers::restoreSource(const TileStore& tiles, ChangeRegion& changes)
{
    tiles.restore(source_, changes);
}

std::optional<MemoryShortfall> PictureBuffers::keepOpened(std::uint64_t available)
{
    if (keepsOpened() || !hasPicture()) return std::nullopt;
    const std::size_t bytes = source_.colours.size() + source_.alpha.size();
    PixelPlanes copy;
    if (bytes <= available) {
        try {
            copy.colours = ByteBuffer::uninitialised(source_.colours.size());
            if (hasAlpha()) copy.alpha = ByteBuffer::uninitialised(source_.alpha.size());
        } catch (const std::bad_alloc&) {
            copy.release();
        }
    }
    if (copy.empty()) return MemoryShortfall::Source;
    copyPlanes(source_, copy);
    opened_ = std::move(copy);
    return std::nullopt;
}

void PictureBuffers::beginPassOverResult()
{
    assert(keepsOpened());
    copyPlanes(work_, source_);
    clearAllMarks();
}

void PictureBuffers::startFromOpened()
{
    if (keepsOpened()) copyPlanes(opened_, source_);
}

} // namespace plexor
