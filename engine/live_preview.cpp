#include "engine/live_preview.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/cell_rendering.h"
#include "engine/plane_rect.h"

namespace plexor {
namespace {

// A step of a frame deforms about this many samples: a few milliseconds of
// the gate.
constexpr std::size_t kStepSamples = std::size_t{1} << 18;

} // namespace

bool LivePreview::begin(const ControlGrid& grid, const PictureBuffers& picture)
{
    active_ = retiring_ = false;
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    shown_.clear();
    lateSince_.reset();
    cellsWanted_ = 0;
    {
        std::lock_guard lock(mutex_);
        pending_.reset();
    }
    ready_ = false;
    try {
        // Planes of the picture's layout, of which a frame touches only the
        // pages its parts lie on: fresh mappings cost nothing until written.
        // A deep picture's low bytes have planes and marks of their own,
        // computed only where a smooth frame needs them for its high bytes.
        const auto pixels = static_cast<std::size_t>(picture.capacity());
        const bool deep = picture.work().deep();
        if (scratch_.colours.size() != 3 * pixels || scratch_.alpha.empty() == picture.hasAlpha() ||
            scratch_.deep() != deep) {
            scratch_.release();
            marks_.release();
            lowMarks_.release();
            scratch_.colours = ByteBuffer::zeroed(3 * pixels);
            if (picture.hasAlpha()) scratch_.alpha = ByteBuffer::zeroed(pixels);
            if (deep) scratch_.low = ByteBuffer::zeroed(3 * pixels);
            if (deep && picture.hasAlpha()) scratch_.alphaLow = ByteBuffer::zeroed(pixels);
            marks_ = ByteBuffer::zeroed(pixels);
            if (deep) lowMarks_ = ByteBuffer::zeroed(pixels);
        }
        points_.assign(grid.points().begin(), grid.points().end());
    } catch (const std::bad_alloc&) {
        scratch_.release();
        marks_.release();
        lowMarks_.release();
        points_.clear();
        return false;
    }
    active_ = true;
    return true;
}

bool LivePreview::request(PreviewRequest request)
{
    if (!active_) return false;
    if (!lateSince_) lateSince_ = std::chrono::steady_clock::now();
    cellsWanted_ = request.cells.size();
    std::lock_guard lock(mutex_);
    const bool waiting = pending_.has_value();
    pending_ = std::move(request);
    return !waiting;
}

void LivePreview::end()
{
    if (!active_) return;
    active_ = false;
    retiring_ = true;
    lateSince_.reset();
    cellsWanted_ = 0;
    std::lock_guard lock(mutex_);
    pending_.reset();
}

void LivePreview::drop(ChangeRegion& changes)
{
    end();
    retiring_ = false;
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    for (const PixelRect& rect : shown_.rects()) changes.mark(rect);
    shown_.clear();
}

bool LivePreview::computeNext(CellPool& pool, const ControlGrid& grid, const PictureBuffers& picture, WorkerGate& gate)
{
    PreviewRequest request;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (!pending_) return false;
        request = std::move(*pending_);
        pending_.reset();
        generation = generation_;
    }
    // Each step inside the gate, so that what the frame uses is not replaced
    // meanwhile; a frame of a drag that has gone is left as it is.
    const auto stillWanted = [&] {
        std::lock_guard lock(mutex_);
        return generation == generation_;
    };
    {
        FrameScope step(gate);
        if (!stillWanted() || marks_.empty() || points_.size() != grid.points().size()) return false;
        prepare(request, grid, picture);
    }
    const GridSampling sampling{grid.shape(), points_, grid.tables(), grid.resampling()};
    // Steps of about the samples a run of the worker takes.
    const std::size_t side = static_cast<std::size_t>(sampling.samplesPerCell()) + 1;
    const std::size_t chunk = std::max<std::size_t>(1, kStepSamples / (side * side));
    const std::span<const CellRef> cells(request.cells);
    for (std::size_t first = 0; first < cells.size(); first += chunk) {
        FrameScope step(gate);
        if (!stillWanted()) return false;
        pool.deform(sampling, target(picture), cells.subspan(first, std::min(chunk, cells.size() - first)),
                    [](std::size_t, const CellFootprint&) {});
    }
    computedWidth_ = picture.width();
    ready_ = true;
    return true;
}

void LivePreview::prepare(const PreviewRequest& request, const ControlGrid& grid, const PictureBuffers& picture)
{
    for (const PointMove& move : request.points) {
        if (move.index < 0 || static_cast<std::size_t>(move.index) >= points_.size()) continue;
        points_[static_cast<std::size_t>(move.index)].dx = move.dx;
        points_[static_cast<std::size_t>(move.index)].dy = move.dy;
    }
    const GridSampling sampling{grid.shape(), points_, grid.tables(), grid.resampling()};
    const std::int32_t width = picture.width(), height = picture.height();
    // Exactly rendered, the high bytes go where they go whatever the low
    // ones hold; smoothly, they are the top of 16-bit interpolations.
    withLow_ = picture.work().deep() && grid.resampling() == Resampling::Smooth;
    // Every pixel the batch may write, from the points as the frame has them,
    // as the work plane holds it, with no mark.
    computed_.clear();
    for (const CellRef& cell : request.cells) {
        const CellFootprint reach = renderReach(sampling, width, height, cell);
        for (int k = 0; k < reach.count; ++k) computed_.add(reach.rects[k]);
    }
    for (const PixelRect& rect : computed_) {
        copyRect(picture.work().colours, scratch_.colours, 3, width, rect);
        if (picture.hasAlpha()) copyRect(picture.work().alpha, scratch_.alpha, 1, width, rect);
        clearRect(marks_, 1, width, rect);
        if (!withLow_) continue;
        copyRect(picture.work().low, scratch_.low, 3, width, rect);
        if (picture.hasAlpha()) copyRect(picture.work().alphaLow, scratch_.alphaLow, 1, width, rect);
        clearRect(lowMarks_, 1, width, rect);
    }
    // The three pixels after the last row, which a splat may mark.
    const std::size_t spare = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::memcpy(scratch_.colours.data() + 3 * spare, picture.work().colours.data() + 3 * spare, 9);
    std::memset(marks_.data() + spare, 0, 3);
    if (picture.hasAlpha()) std::memcpy(scratch_.alpha.data() + spare, picture.work().alpha.data() + spare, 3);
    if (!withLow_) return;
    std::memcpy(scratch_.low.data() + 3 * spare, picture.work().low.data() + 3 * spare, 9);
    std::memset(lowMarks_.data() + spare, 0, 3);
    if (picture.hasAlpha()) std::memcpy(scratch_.alphaLow.data() + spare, picture.work().alphaLow.data() + spare, 3);
}

SplatTarget LivePreview::target(const PictureBuffers& picture) noexcept
{
    SplatTarget target{scratch_.colours.data(), marks_.data(),   picture.source().colours.data(),
                       picture.capacity(),      picture.width(), picture.height()};
    if (picture.hasAlpha()) {
        target.workAlpha = scratch_.alpha.data();
        target.sourceAlpha = picture.source().alpha.data();
    }
    if (withLow_) {
        target.lowWork = scratch_.low.data();
        target.lowMask = lowMarks_.data();
        target.lowSource = picture.source().low.data();
        target.lowWorkAlpha = scratch_.alphaLow.data();
        target.lowSourceAlpha = picture.source().alphaLow.data();
    }
    return target;
}

bool LivePreview::publish(ChangeRegion& changes)
{
    if (!ready_) return false;
    ready_ = false;
    if (!active_ && !retiring_) return false;
    for (const PixelRect& rect : shown_.rects()) changes.mark(rect);
    shown_.take(computed_, scratch_, computedWidth_);
    for (const PixelRect& rect : shown_.rects()) changes.mark(rect);
    std::lock_guard lock(mutex_);
    if (!pending_) lateSince_.reset();
    return true;
}

} // namespace plexor
