#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/cell_queue.h"
#include "engine/change_region.h"
#include "engine/control_point.h"
#include "engine/grid_geometry.h"
#include "engine/grid_snapshot.h"
#include "engine/memory_shortfall.h"
#include "engine/message_sink.h"
#include "engine/weight_tables.h"
#include "engine/worker_gate.h"
#include "platform/byte_buffer.h"

namespace plexor {

// The one shared state of the program: the picture's geometry, the four pixel
// buffers, the control grid, the weight tables and the queue of cells for the
// worker.
//
// Pixel buffers hold 3 bytes per pixel (blue, green, red), rows top to bottom
// with no gap, pixel (x, y) at index x + y * imageWidth(), and
// pixelCapacity() = imageWidth() * imageHeight() + 3 pixels; the last three
// belong to no row.
//
// The model keeps itself consistent: the four buffers exist together, sized
// for the picture, exactly while imageLoaded(); the grid step is held once,
// in the grid's geometry, which is the one gridGeometryFor gives for the
// picture and that step while a grid exists; the tables and the queue's
// bytes belong to that grid and step once a grid is laid.
//
// Threads: everything is created, replaced and released on the UI thread,
// and only while it holds gate() shut (WorkerHold); the worker touches the
// buffers, the grid and the tables only inside the gate. Control-point
// fields are relaxed atomics, since a drag writes them while the worker may
// read them.
class DeformModel {
public:
    static constexpr std::int32_t kDefaultGridStep = 48;

    DeformModel();

    // The picture: imageWidth() is always a multiple of 4.
    bool imageLoaded() const noexcept { return imageLoaded_; }
    std::int32_t imageWidth() const noexcept { return imageWidth_; }
    std::int32_t imageHeight() const noexcept { return imageHeight_; }
    std::int32_t pixelCapacity() const noexcept { return pixelCapacity_; }
    ByteBuffer& workImage() noexcept { return workImage_; } // the deformed picture
    const ByteBuffer& workImage() const noexcept { return workImage_; }
    ByteBuffer& viewImage() noexcept { return viewImage_; } // what the screen shows: workImage plus overlay
    const ByteBuffer& viewImage() const noexcept { return viewImage_; }
    ByteBuffer& sourceImage() noexcept { return sourceImage_; } // the picture as read from the file
    const ByteBuffer& sourceImage() const noexcept { return sourceImage_; }
    ByteBuffer& splatMask() noexcept { return splatMask_; } // a byte a pixel: exact destinations of this batch
    const ByteBuffer& splatMask() const noexcept { return splatMask_; }

    // The grid step: the present grid's, and the one the next grid is laid
    // at until another is chosen.
    std::int32_t gridStep() const noexcept { return grid_.step; }
    // The shape of the grid laid last; no points or cells while there is none.
    const GridGeometry& grid() const noexcept { return grid_; }
    std::int32_t pointCols() const noexcept { return grid_.pointCols; }
    std::int32_t pointRows() const noexcept { return grid_.pointRows; }
    std::int32_t cellCols() const noexcept { return grid_.cellCols; }
    std::int32_t cellRows() const noexcept { return grid_.cellRows; }
    std::int32_t cellCount() const noexcept { return grid_.cellCount; }
    std::int32_t marginX() const noexcept { return grid_.marginX; }
    std::int32_t marginY() const noexcept { return grid_.marginY; }
    bool gridExists() const noexcept { return !points_.empty(); }
    // The points row by row: point (c, r) at c + r * pointCols().
    std::span<ControlPoint> points() noexcept { return points_; }
    std::span<const ControlPoint> points() const noexcept { return points_; }
    ControlPoint& point(std::int32_t col, std::int32_t row) noexcept
    {
        return points_[static_cast<std::size_t>(col + row * grid_.pointCols)];
    }
    const ControlPoint& point(std::int32_t col, std::int32_t row) const noexcept
    {
        return points_[static_cast<std::size_t>(col + row * grid_.pointCols)];
    }

    // The weight tables of the grid step, and the samples along a cell's
    // side less one: the grid step once the tables are built, 0 before.
    const WeightTables& tables() const noexcept { return tables_; }
    std::int32_t samplesPerCell() const noexcept { return tables_.built() ? grid_.step : 0; }

    CellQueue& cellQueue() noexcept { return cellQueue_; }
    const CellQueue& cellQueue() const noexcept { return cellQueue_; }
    // Keeps the worker off what the UI thread releases or replaces.
    WorkerGate& gate() noexcept { return gate_; }
    // What has changed on the picture or its overlay since it was last shown.
    // The operations here mark what they change; so do the worker, for each
    // cell, and whatever else moves a point or changes how the view is drawn.
    ChangeRegion& changes() noexcept { return changes_; }

    // Whether a drag holds a point.
    bool dragging() const noexcept { return dragging_; }
    void setDragging(bool dragging) noexcept { dragging_ = dragging; }

    // Where messages go; none are shown while there is none.
    void setMessageSink(MessageSink* sink) noexcept { messages_ = sink; }
    void showMessage(const std::string& text, MessageIcon icon) const;
    // Bytes of memory the program can still obtain (the system's, unless
    // set); the buffers and tables are checked against it before they are
    // allocated, since an allocation the system grants may still get the
    // process killed when its pages are touched.
    void setAvailableMemory(std::function<std::uint64_t()> available) { availableMemory_ = std::move(available); }
    std::uint64_t availableMemory() const;

    // Replaces the picture's buffers with new ones for a width x height
    // picture (width a multiple of 4), all or nothing. It first checks that
    // they fit beside the ones held now, then obtains workImage, viewImage,
    // sourceImage and a clear splatMask, and only then swaps them in and sets
    // the geometry; their pixels are the caller's to fill. A grid laid for
    // another size goes with the old picture. On any failure it shows the
    // message of the buffer that could not be had, returns false and leaves
    // the model exactly as it was.
    bool allocateBuffers(std::int32_t width, std::int32_t height);
    // Why the buffers for a width x height picture would not fit beside the
    // ones held now; nothing when they would. Changes nothing.
    std::optional<MemoryShortfall> bufferShortfall(std::int32_t width, std::int32_t height) const;
    // Releases the buffers, the grid and everything built for it: the model
    // as it was created, but for the grid step. The worker must have ended.
    void releaseAll();
    // Copies pixelCapacity() pixels; nothing when the source is empty.
    void copyPixels(const ByteBuffer& source, ByteBuffer& destination);

    // Lays a grid at `step` (at least 1): workImage made afresh from
    // sourceImage, the grid, black margins, and the tables for the step. The
    // model holds a picture.
    void layGrid(std::int32_t step);
    // Puts every point back to its grid position and restores the picture.
    void resetGrid();
    // Paints the strips of workImage outside the grid black.
    void blackOutMargins();
    // Drops the grid and everything built for it: the state of a picture
    // without grid.
    void dropGrid();

    // The step and the grid with its displacements, as they stand.
    GridSnapshot snapshotGrid() const;
    // Lays the grid of `snapshot` again over the picture: its step, its
    // points with their displacements, its tables; or no grid. workImage is
    // left to the caller. The worker must be idle.
    void restoreGrid(const GridSnapshot& snapshot);

private:
    // Lays a new grid at the grid step, its points at rest.
    void buildGrid();
    // Builds the weight tables for the grid step, and starts the cell
    // bookkeeping afresh.
    void buildWeightTables();
    // Lays the points at their grid positions, with no displacement and
    // none picked.
    void placePoints();

    bool imageLoaded_ = false;
    std::int32_t imageWidth_ = 0;
    std::int32_t imageHeight_ = 0;
    std::int32_t pixelCapacity_ = 0;
    ByteBuffer workImage_;
    ByteBuffer viewImage_;
    ByteBuffer sourceImage_;
    ByteBuffer splatMask_;
    GridGeometry grid_;
    std::vector<ControlPoint> points_; // empty: no grid
    WeightTables tables_;
    CellQueue cellQueue_;
    WorkerGate gate_;
    ChangeRegion changes_;
    bool dragging_ = false;
    MessageSink* messages_ = nullptr;
    std::function<std::uint64_t()> availableMemory_;
};

} // namespace plexor
