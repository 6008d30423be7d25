#include <cassert>
#include <cstring>
#include <limits>
#include <new>

#include "engine/deform_model.h"

namespace plexor {
namespace {

// Pixels of a buffer for width x height, or nothing when the count is not a
// valid signed 32-bit pixel capacity.
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

} // namespace

std::optional<MemoryShortfall> DeformModel::bufferShortfall(std::int32_t width, std::int32_t height, bool alpha) const
{
    const std::optional<std::int64_t> pixels = capacityFor(width, height);
    if (!pixels) return MemoryShortfall::Source;
    // The new buffers are obtained while the old ones are still held.
    const std::uint64_t bytes = static_cast<std::uint64_t>(*pixels) * 3;
    const std::uint64_t alphaBytes = alpha ? static_cast<std::uint64_t>(*pixels) * 3 : 0;
    const std::uint64_t available = availableMemory();
    if (bytes > available) return MemoryShortfall::Source;
    if (3 * bytes + static_cast<std::uint64_t>(*pixels) + alphaBytes > available) return MemoryShortfall::Destination;
    return std::nullopt;
}

bool DeformModel::allocateBuffers(std::int32_t width, std::int32_t height, bool alpha)
{
    assert(width % 4 == 0);
    if (const std::optional<MemoryShortfall> shortfall = bufferShortfall(width, height, alpha)) {
        showMessage(shortfallMessage(*shortfall), MessageIcon::Stop);
        return false;
    }
    const std::int64_t pixels = *capacityFor(width, height);
    const std::size_t bytes = static_cast<std::size_t>(pixels) * 3;

    // Each buffer is obtained in turn; a refusal drops those obtained so far
    // and leaves the model as it was.
    ByteBuffer work = tryObtain(bytes);
    if (work.empty()) {
        showMessage(shortfallMessage(MemoryShortfall::Source), MessageIcon::Stop);
        return false;
    }
    ByteBuffer view = tryObtain(bytes);
    ByteBuffer source = view.empty() ? ByteBuffer() : tryObtain(bytes);
    ByteBuffer mask = source.empty() ? ByteBuffer() : tryObtain(static_cast<std::size_t>(pixels));
    // An opaque picture has no alpha and costs nothing more.
    ByteBuffer alphas[3];
    if (alpha && !mask.empty())
        for (ByteBuffer& plane : alphas) {
            plane = tryObtain(static_cast<std::size_t>(pixels));
            if (plane.empty()) break;
        }
    if (mask.empty() || (alpha && alphas[2].empty())) {
        showMessage(shortfallMessage(MemoryShortfall::Destination), MessageIcon::Stop);
        return false;
    }
    std::memset(mask.data(), 0, mask.size());
    // The three pixels after the last row belong to no row; keep them black
    // so that nothing unset is ever read from a buffer.
    for (ByteBuffer* buffer : {&work, &view, &source}) std::memset(buffer->data() + bytes - 9, 0, 9);
    for (ByteBuffer& plane : alphas)
        if (!plane.empty()) std::memset(plane.data() + plane.size() - 3, 0, 3);

    WorkerHold hold(gate_);
    if ((width != imageWidth_ || height != imageHeight_) && gridExists()) dropGrid();
    imageWidth_ = width;
    imageHeight_ = height;
    pixelCapacity_ = static_cast<std::int32_t>(pixels);
    std::swap(workImage_, work);
    std::swap(viewImage_, view);
    std::swap(sourceImage_, source);
    std::swap(splatMask_, mask);
    std::swap(sourceAlpha_, alphas[0]);
    std::swap(workAlpha_, alphas[1]);
    std::swap(viewAlpha_, alphas[2]);
    passes_.clear();
    selection_.clear();
    imageLoaded_ = true;
    changes_.markAll();
    return true;
}

void DeformModel::releaseAll()
{
    WorkerHold hold(gate_);
    dropGrid();
    workImage_.release();
    viewImage_.release();
    sourceImage_.release();
    splatMask_.release();
    sourceAlpha_.release();
    workAlpha_.release();
    viewAlpha_.release();
    passes_.clear();
    imageWidth_ = imageHeight_ = pixelCapacity_ = 0;
    imageLoaded_ = false;
}

} // namespace plexor
