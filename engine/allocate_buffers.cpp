#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "engine/deform_model.h"

namespace plexor {
namespace {

constexpr char kNoMemoryForSource[] = "Not enough memory for source.";
constexpr char kNoMemoryForDestination[] = "Not enough memory for destination.";

// Obtains one buffer of `bytes`, after checking that `committed` bytes (this
// buffer and those obtained before it) fit in what the system can give.
bool Obtain(PixelBuffer& buffer, std::uint64_t bytes, std::uint64_t committed, std::uint64_t available)
{
    if (committed > available) return false;
    try {
        buffer = PixelBuffer::Obtain(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The three pixels after the last row belong to no row; keep them black
    // so that nothing unset is ever read from a buffer.
    std::memset(buffer.data() + bytes - 9, 0, 9);
    return true;
}

// Pixels of a buffer for width x height, or 0 when the count is not a valid
// signed 32-bit pixel capacity.
std::int64_t CapacityFor(std::int32_t width, std::int32_t height)
{
    if (width < 0 || height < 0) return 0;
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height + 3;
    return pixels <= std::numeric_limits<std::int32_t>::max() ? pixels : 0;
}

} // namespace

const char* DeformModel::BufferShortfall(std::int32_t width, std::int32_t height, std::uint64_t freeable) const
{
    const std::int64_t pixels = CapacityFor(width, height);
    if (pixels == 0) return kNoMemoryForSource;
    const std::uint64_t bytes = static_cast<std::uint64_t>(pixels) * 3;
    std::uint64_t available = AvailableMemory ? AvailableMemory() : std::numeric_limits<std::uint64_t>::max();
    available = available > std::numeric_limits<std::uint64_t>::max() - freeable
                    ? std::numeric_limits<std::uint64_t>::max()
                    : available + freeable;
    if (bytes > available) return kNoMemoryForSource;
    if (3 * bytes + static_cast<std::uint64_t>(pixels) > available) return kNoMemoryForDestination;
    return nullptr;
}

bool DeformModel::AllocateBuffers()
{
    const std::int64_t pixels = CapacityFor(ImageWidth, ImageHeight);
    PixelCapacity = static_cast<std::int32_t>(pixels);
    if (pixels == 0) {
        ShowMessage(kNoMemoryForSource, MB_ICONSTOP);
        return false;
    }

    const std::uint64_t bytes = static_cast<std::uint64_t>(pixels) * 3;
    const std::uint64_t available = AvailableMemory ? AvailableMemory() : std::numeric_limits<std::uint64_t>::max();

    if (!Obtain(WorkImage, bytes, bytes, available)) {
        ShowMessage(kNoMemoryForSource, MB_ICONSTOP);
        return false;
    }
    if (!Obtain(ViewImage, bytes, 2 * bytes, available)) {
        ShowMessage(kNoMemoryForDestination, MB_ICONSTOP);
        WorkImage.Release();
        return false;
    }
    // The splat mask, one byte per pixel, follows the buffers at once, in
    // place of the one held now.
    const std::uint64_t mask = static_cast<std::uint64_t>(pixels);
    const std::uint64_t maskRoom = std::min<std::uint64_t>(SplatMask.size(), mask);
    if (!Obtain(SourceImage, bytes, 3 * bytes + mask - maskRoom, available)) {
        ShowMessage(kNoMemoryForDestination, MB_ICONSTOP);
        WorkImage.Release();
        ViewImage.Release();
        return false;
    }
    return true;
}

} // namespace plexor
