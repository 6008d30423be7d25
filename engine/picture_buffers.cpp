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

// Copies every plane that `to` holds: the view holds no low bytes.
void copyPlanes(const PixelPlanes& from, PixelPlanes& to) noexcept
{
    copyWhole(from.colours, to.colours);
    copyWhole(from.alpha, to.alpha);
    if (!to.low.empty()) copyWhole(from.low, to.low);
    if (!to.alphaLow.empty()) copyWhole(from.alphaLow, to.alphaLow);
}

// Copies `from`, rows without gaps, into the start of `to`, if any.
void copyRows(std::span<const std::uint8_t> from, ByteBuffer& to) noexcept
{
    if (from.empty()) return;
    assert(from.size() <= to.size());
    std::memcpy(to.data(), from.data(), from.size());
}

} // namespace

std::optional<MemoryShortfall> PictureBuffers::shortfall(std::int32_t width, std::int32_t height, bool alpha,
                                                         std::uint64_t available, bool deep)
{
    const std::optional<std::int64_t> pixels = capacityFor(width, height);
    if (!pixels) return MemoryShortfall::Source;
    // The new buffers are obtained while the old ones are still held.
    const std::uint64_t bytes = static_cast<std::uint64_t>(*pixels) * 3;
    const std::uint64_t alphaBytes = alpha ? static_cast<std::uint64_t>(*pixels) * 3 : 0;
    if (bytes > available) return MemoryShortfall::Source;
    // A deep picture's work and source hold their low bytes too, with marks
    // of their own.
    const std::uint64_t lowBytes = deep ? 2 * bytes + static_cast<std::uint64_t>(*pixels) + 2 * alphaBytes / 3 : 0;
    if (3 * bytes + static_cast<std::uint64_t>(*pixels) + alphaBytes + lowBytes > available)
        return MemoryShortfall::Destination;
    return std::nullopt;
}

std::optional<MemoryShortfall> PictureBuffers::replace(std::int32_t width, std::int32_t height, bool alpha,
                                                       std::uint64_t available, bool deep)
{
    assert(width % 4 == 0);
    if (const std::optional<MemoryShortfall> missing = shortfall(width, height, alpha, available, deep)) return missing;
    const std::int64_t pixels = *capacityFor(width, height);
    const std::size_t bytes = static_cast<std::size_t>(pixels) * 3;

    // Each buffer is obtained in turn; a refusal drops those obtained so far
    // and leaves everything as it was.
    PixelPlanes planes[3];
    planes[0].colours = tryObtain(bytes);
    if (planes[0].colours.empty()) return MemoryShortfall::Source;
    planes[1].colours = tryObtain(bytes);
    if (!planes[1].colours.empty()) planes[2].colours = tryObtain(bytes);
    // A deep picture's low bytes have marks of their own, after the others.
    ByteBuffer marks =
        planes[2].colours.empty() ? ByteBuffer() : tryObtain(static_cast<std::size_t>(pixels) * (deep ? 2 : 1));
    // An opaque picture has no alpha and costs nothing more.
    bool complete = !marks.empty();
    if (alpha && complete)
        for (PixelPlanes& plane : planes) {
            plane.alpha = tryObtain(static_cast<std::size_t>(pixels));
            complete = !plane.alpha.empty();
            if (!complete) break;
        }
    // The view shows the high bytes and needs no low ones.
    if (deep && complete)
        for (PixelPlanes* plane : {&planes[0], &planes[2]}) {
            plane->low = tryObtain(bytes);
            if (alpha && !plane->low.empty()) plane->alphaLow = tryObtain(static_cast<std::size_t>(pixels));
            complete = !plane->low.empty() && plane->alphaLow.empty() != alpha;
            if (!complete) break;
        }
    if (!complete) return MemoryShortfall::Destination;
    std::memset(marks.data(), 0, marks.size());
    // The three pixels after the last row belong to no row; keep them black
    // so that nothing unset is ever read from a buffer.
    for (PixelPlanes& plane : planes)
        PixelPlanes::forEach(plane, [](ByteBuffer& buffer, std::size_t pixelBytes) {
            if (!buffer.empty()) std::memset(buffer.data() + buffer.size() - 3 * pixelBytes, 0, 3 * pixelBytes);
        });

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

bool PictureBuffers::load(const Bitmap& bitmap, std::span<const std::uint8_t> alpha, std::span<const std::uint8_t> low,
                          std::span<const std::uint8_t> alphaLow)
{
    assert(hasPicture() && bitmap.width() == width_ && bitmap.height() == height_);
    assert(alpha.empty() || hasAlpha());
    assert((low.empty() && alphaLow.empty()) || work_.deep());
    copyRows(alpha, work_.alpha);
    copyRows(low, work_.low);
    copyRows(alphaLow, work_.alphaLow);
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
    PixelPlanes::forEach(work_, [&](ByteBuffer& plane, std::int32_t bytes) {
        if (plane.empty()) return;
        // Black and transparent, in an alpha plane, down to the low bytes:
        // what a grey picture holding the plane would become. A grid built
        // for the picture keeps every strip inside it: a margin is half of
        // what the whole steps leave over, rounded down.
        for (const PixelRect& strip :
             {PixelRect{0, 0, w, g.marginY}, PixelRect{0, g.bottom(), w, g.bottom() + g.marginY},
              PixelRect{0, g.marginY, g.marginX, g.bottom()},
              PixelRect{g.right(), g.marginY, g.right() + g.marginX, g.bottom()}}) {
            assert(strip.empty() || (PixelRect{0, 0, w, h}.intersection(strip) == strip));
            clearRect(plane, bytes, w, strip);
        }
    });
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
    if (work_.deep()) {
        target.lowWork = work_.low.data();
        target.lowMask = marks_.data() + capacity_;
        target.lowSource = source_.low.data();
        target.lowWorkAlpha = work_.alphaLow.data();
        target.lowSourceAlpha = source_.alphaLow.data();
    }
    return target;
}

void PictureBuffers::clearMarks(const RectSet& rects) noexcept
{
    if (marks_.empty()) return;
    const PixelRect picture{0, 0, width_, height_};
    // The low bytes' marks, when there are any, clear with the others.
    for (std::size_t at = 0; at < marks_.size(); at += static_cast<std::size_t>(capacity_)) {
        std::uint8_t* marks = marks_.data() + at;
        for (const PixelRect& rect : rects) {
            const PixelRect part = rect.intersection(picture);
            if (part.empty()) continue;
            for (std::int32_t y = part.y0; y < part.y1; ++y)
                std::memset(marks + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + part.x0, 0,
                            static_cast<std::size_t>(part.x1 - part.x0));
        }
        // The three pixels after the last row lie beyond every rectangle.
        std::memset(marks + capacity_ - 3, 0, 3);
    }
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
    const std::size_t bytes =
        source_.colours.size() + source_.alpha.size() + source_.low.size() + source_.alphaLow.size();
    const auto like = [](const ByteBuffer& plane) {
        return plane.empty() ? ByteBuffer() : ByteBuffer::uninitialised(plane.size());
    };
    PixelPlanes copy;
    if (bytes <= available) {
        try {
            copy.colours = like(source_.colours);
            copy.alpha = like(source_.alpha);
            copy.low = like(source_.low);
            copy.alphaLow = like(source_.alphaLow);
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
