#pragma once

#include <cstdint>
#include <span>

#include "engine/cell_ref.h"

namespace plexor {

// What dragging a control point needs of the window. UI thread only.
class DragHost {
public:
    virtual ~DragHost() = default;
    // Rebuilds and shows the view.
    virtual void refresh() = 0;
    // Has the worker recompute the cells around control point (c, r); or
    // `cells`, in their order, as one batch.
    virtual void queueCellsAround(std::int32_t c, std::int32_t r) = 0;
    virtual void queueCells(std::span<const CellRef> cells) = 0;
    // Takes the mouse for the picture's scroll box, and gives it back.
    virtual void captureMouse() = 0;
    virtual void releaseMouseCapture() = 0;
};

} // namespace plexor
