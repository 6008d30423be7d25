#pragma once

#include <cstdint>
#include <vector>

#include "app/settings_store.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// View > Live Preview: while a drag moves points, the view shows the picture
// a release at that moment would give, as the worker computes it (the cell
// work's live frames); the overlay follows every move at once regardless.
// After the release the last frame stays until the release's batch is
// shown, so nothing flickers back. The choice is kept in the settings. UI
// thread only.
class LiveFrames {
public:
    LiveFrames(const ControlGrid& grid, const PictureBuffers& picture, CellWork& work, WorkerControl& worker,
               SettingsStore& settings);

    bool enabled() const noexcept { return enabled_; }
    void setEnabled(bool enabled);

    // A step of `drag` moved its points: the frame a release would give now
    // is asked for.
    void follow(const ControlPointDrag& drag);
    // The drag was released, queueing its batch (`queued`) or none.
    void released(bool queued);
    // The worker has a frame ready, or has ended a batch: what the view
    // shows changes accordingly, for the refresh that follows.
    void frameReady();
    void batchShown();
    // The frame shown goes now: what it showed is about to be replaced.
    void drop();
    // The frames shown since the program started, for measurements.
    std::uint64_t framesShown() const noexcept { return framesShown_; }

private:
    const ControlGrid& grid_;
    const PictureBuffers& picture_;
    CellWork& work_;
    WorkerControl& worker_;
    SettingsStore& settings_;
    bool enabled_ = true;
    bool retiring_ = false;
    std::uint64_t framesShown_ = 0;
    std::vector<std::int32_t> touched_; // the points the drag has held since its frames began
};

} // namespace plexor
