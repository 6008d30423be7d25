#include "app/live_frames.h"

#include <algorithm>
#include <string>

namespace plexor {
namespace {

constexpr const char* kEnabledKey = "livePreview";

} // namespace

LiveFrames::LiveFrames(const ControlGrid& grid, const PictureBuffers& picture, CellWork& work, WorkerControl& worker,
                       SettingsStore& settings)
    : grid_(grid), picture_(picture), work_(work), worker_(worker), settings_(settings)
{
    const std::vector<std::string> kept = settings_.stringList(kEnabledKey);
    enabled_ = kept.empty() || kept.front() != "off";
}

void LiveFrames::setEnabled(bool enabled)
{
    enabled_ = enabled;
    settings_.setStringList(kEnabledKey, {enabled ? "on" : "off"});
}

void LiveFrames::follow(const ControlPointDrag& drag)
{
    if (!enabled_ || !worker_.running() || !drag.dragging()) return;
    LivePreview& preview = work_.preview();
    if (!preview.active()) {
        // The frames start from the points as they stand now; the worker
        // keeps its copy of them apart from the grid.
        WorkerHold hold(work_.gate());
        if (!preview.begin(grid_, picture_)) return;
        touched_.clear();
        retiring_ = false;
    }
    PreviewRequest request;
    const std::span<const ControlPoint> points = grid_.points();
    if (drag.groupDragging()) {
        request.cells = drag.group().cells(grid_.shape());
        for (const std::int32_t i : drag.group().members()) {
            const ControlPoint& p = points[static_cast<std::size_t>(i)];
            request.points.push_back({i, p.dx, p.dy});
        }
    } else {
        const std::int32_t held = drag.dragIndex();
        if (std::find(touched_.begin(), touched_.end(), held) == touched_.end()) touched_.push_back(held);
        CellRef around[16];
        const std::int32_t cols = grid_.shape().pointCols;
        const std::size_t count = cellsAround(grid_.shape(), held % cols, held / cols, around);
        request.cells.assign(around, around + count);
        for (const std::int32_t i : touched_) {
            const ControlPoint& p = points[static_cast<std::size_t>(i)];
            request.points.push_back({i, p.dx, p.dy});
        }
    }
    if (preview.request(std::move(request))) worker_.wake();
}

void LiveFrames::released(bool queued)
{
    LivePreview& preview = work_.preview();
    if (!preview.active()) return;
    preview.end();
    retiring_ = queued;
    if (!queued) preview.drop(work_.changes());
}

void LiveFrames::frameReady()
{
    if (work_.preview().publish(work_.changes())) ++framesShown_;
}

void LiveFrames::batchShown()
{
    // The release's batch is the last one queued: once it is shown, and
    // nothing but its marker is left, the picture holds what the frame held.
    if (!retiring_ || work_.queue().size() > 1) return;
    retiring_ = false;
    work_.preview().drop(work_.changes());
}

void LiveFrames::drop()
{
    retiring_ = false;
    work_.preview().drop(work_.changes());
}

} // namespace plexor
