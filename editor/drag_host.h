#pragma once

#include <cstdint>

namespace plexor {

// What dragging a control point needs of the window. UI thread only.
class DragHost {
public:
    virtual ~DragHost() = default;
    // Rebuilds and shows the view.
    virtual void Refresh() = 0;
    // Has the worker recompute the cells around control point (c, r).
    virtual void QueueCellsAround(std::int32_t c, std::int32_t r) = 0;
    // Takes the mouse for the picture's scroll box, and gives it back.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
};

} // namespace plexor
