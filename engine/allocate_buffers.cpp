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

} // namespace

bool DeformModel::AllocateBuffers()
{
    const std::int64_t pixels = static_cast<std::int64_t>(ImageWidth) * ImageHeight + 3;
    const bool sizeValid = ImageWidth >= 0 && ImageHeight >= 0 &&
                           pixels <= std::numeric_limits<std::int32_t>::max();
    PixelCapacity = sizeValid ? static_cast<std::int32_t>(pixels) : 0;
    if (!sizeValid) {
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
    // The splat mask, one byte per pixel, follows the buffers at once.
    if (!Obtain(SourceImage, bytes, 3 * bytes + static_cast<std::uint64_t>(pixels), available)) {
        ShowMessage(kNoMemoryForDestination, MB_ICONSTOP);
        WorkImage.Release();
        ViewImage.Release();
        return false;
    }
    return true;
}

} // namespace plexor
