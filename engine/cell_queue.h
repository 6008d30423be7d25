#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "engine/cell_ref.h"
#include "engine/grid_geometry.h"

namespace plexor {

// First-in first-out list of cells waiting for the worker, each closed by a
// refresh marker, with a byte for each cell of the grid that says whether it
// is queued. Every operation takes the queue's lock, so appending a cell and
// marking it, or removing it and clearing its byte, is one step to the other
// thread.
//
// A cell's byte is 0 while it is not queued, 1 while it waits, 3 while the
// worker has taken it from the front to deform it, and 2 while it is taken
// and queued once more behind: a cell asked for while it is being deformed,
// perhaps from displacements that have changed since, is deformed again
// afterwards.
//
// The entries live in a ring that only grows, and only when the UI thread
// appends: the worker's reads and removals never allocate.
class CellQueue {
public:
    CellQueue();

    // UI thread, the worker held. Empties the queue and gives it a clear
    // byte for each cell of a grid `cellCols` cells wide, `cellCount` in all.
    void reset(std::int32_t cellCols, std::int32_t cellCount);

    // UI thread. Appends every cell of `cells` that is not waiting in the
    // queue yet, marking its byte, then one refresh marker.
    template <class Cells>
    void appendBatch(const Cells& cells)
    {
        std::lock_guard lock(mutex_);
        for (const CellRef& cell : cells) {
            std::uint8_t& byte = queued_[cellIndex(cellCols_, cell)];
            if (byte == 0)
                byte = 1;
            else if (byte == 3)
                byte = 2; // being deformed: once more afterwards
            else
                continue;
            pushLocked(cell);
        }
        pushLocked(kRefreshMarker);
    }

    // Worker thread. Takes the front entries to handle them, leaving them in
    // the queue until popFront removes each: a refresh marker alone, or up
    // to out.size() cells before the next marker, each marked taken.
    // Returns how many; 0 when the queue is empty. `generation` identifies
    // the queue's contents: it changes whenever the queue is emptied whole.
    std::size_t takeFront(std::span<CellRef> out, std::uint64_t& generation);

    // Removes the front entry if the queue has not been emptied since
    // `generation` was read. When the entry is a cell, clears its byte in
    // the same step, or, when the cell is queued once more, leaves it marked
    // as waiting.
    bool popFront(std::uint64_t generation);

    // Empties the queue and clears every cell's byte in one step.
    void clear();

    std::size_t size() const;
    // The cells waiting, refresh markers not counted.
    std::size_t cellsWaiting() const;
    std::vector<CellRef> snapshot() const;
    // The cells' bytes as they stand: 0 not queued, 1 waiting, 3 taken, 2
    // taken and queued again.
    std::vector<std::uint8_t> queuedBytes() const;

private:
    void pushLocked(const CellRef& entry);

    mutable std::mutex mutex_;
    std::vector<CellRef> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::size_t cells_ = 0;
    std::uint64_t generation_ = 0;
    std::vector<std::uint8_t> queued_; // a byte for each cell
    std::int32_t cellCols_ = 0;
};

} // namespace plexor
