#pragma once

#include <cstddef>

#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

class WorkerControl;

// What an edit's undo and redo put back.
struct EditTarget {
    ControlGrid& grid;
    PictureBuffers& picture;
    CellWork& work;
    WorkerControl& worker; // for the cells an edit has deformed again
};

// One edit as the history keeps it: its name in the Edit menu, and what it
// changed, recorded before and after when it was made. Undo and redo only
// lay those states again; they never recompute them. Both run on the UI
// thread with the worker held, and mark what they change.
class Edit {
public:
    virtual ~Edit() = default;
    // "Drag", "Grid": the menu reads "Undo Drag".
    virtual const char* name() const noexcept = 0;
    virtual void undo(EditTarget& target) const = 0;
    virtual void redo(EditTarget& target) const = 0;
    // The memory the edit holds.
    virtual std::size_t bytes() const noexcept = 0;
};

} // namespace plexor
