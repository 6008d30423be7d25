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
#include "engine/earlier_passes.h"
#include "engine/grid_geometry.h"
#include "engine/grid_snapshot.h"
#include "engine/memory_shortfall.h"
#include "engine/message_sink.h"
#include "engine/point_selection.h"
#include "engine/weight_tables.h"
#include "engine/worker_gate.h"
#include "platform/byte_buffer.h"

namespace plexor {

// The one shared state of the program: the picture's geometry, its pixel
// buffers, the control grid, the weight tables, the worker's cell queue, the
// points chosen and the earlier passes. Colour buffers hold 3 bytes a pixel
// (blue, green, red), rows top to bottom with no gap, pixel (x, y) at x + y *
// imageWidth(); pixelCapacity() is imageWidth() * imageHeight() + 3 pixels,
// the last three in no row.
//
// It keeps itself consistent: the buffers exist together, sized for the
// picture, exactly while imageLoaded(); the grid step is held once, in the
// grid's shape; the tables, the queue's bytes and the selection belong to
// that grid. Everything is created, replaced and released on the UI thread
// while it holds gate() shut (WorkerHold); the worker touches the buffers,
// the grid and the tables only inside the gate. A drag writes control points
// while the worker reads them: their fields are relaxed atomics.
class DeformModel {
public:
    static constexpr std::int32_t kDefaultGridStep = 48;

    DeformModel();

    bool imageLoaded() const noexcept { return imageLoaded_; } // imageWidth() is always a multiple of 4
    std::int32_t imageWidth() const noexcept { return imageWidth_; }
    std::int32_t imageHeight() const noexcept { return imageHeight_; }
    std::int32_t pixelCapacity() const noexcept { return pixelCapacity_; }
    // The deformed picture; what the screen shows (it plus the overlay); the
    // starting picture of the pass under way; a byte a pixel marking the exact
    // destinations of the batch under way.
    ByteBuffer& workImage() noexcept { return workImage_; }
    ByteBuffer& viewImage() noexcept { return viewImage_; }
    ByteBuffer& sourceImage() noexcept { return sourceImage_; }
    ByteBuffer& splatMask() noexcept { return splatMask_; }
    const ByteBuffer& workImage() const noexcept { return workImage_; }
    const ByteBuffer& viewImage() const noexcept { return viewImage_; }
    const ByteBuffer& sourceImage() const noexcept { return sourceImage_; }
    const ByteBuffer& splatMask() const noexcept { return splatMask_; }
    // The alpha (a byte a pixel, 255 opaque) that goes with each of the
    // picture's colour buffers; all three empty for an opaque picture.
    bool hasAlpha() const noexcept { return !sourceAlpha_.empty(); }
    ByteBuffer& sourceAlpha() noexcept { return sourceAlpha_; }
    ByteBuffer& workAlpha() noexcept { return workAlpha_; }
    ByteBuffer& viewAlpha() noexcept { return viewAlpha_; }
    const ByteBuffer& sourceAlpha() const noexcept { return sourceAlpha_; }
    const ByteBuffer& workAlpha() const noexcept { return workAlpha_; }
    const ByteBuffer& viewAlpha() const noexcept { return viewAlpha_; }
    // The picture as read, and its alpha, whatever passes have been laid over
    // it since.
    const ByteBuffer& openedImage() const noexcept { return passes_.kept() ? passes_.openedImage() : sourceImage_; }
    const ByteBuffer& openedAlpha() const noexcept { return passes_.kept() ? passes_.openedAlpha() : sourceAlpha_; }

    // The grid step (the present grid's, and the next one's until another is
    // chosen) and the grid's shape, with no points while there is none.
    std::int32_t gridStep() const noexcept { return grid_.step; }
    const GridGeometry& grid() const noexcept { return grid_; }
    bool gridExists() const noexcept { return !points_.empty(); }
    // The points row by row: point (c, r) at pointIndex(c, r).
    std::span<ControlPoint> points() noexcept { return points_; }
    std::span<const ControlPoint> points() const noexcept { return points_; }
    std::size_t pointIndex(std::int32_t c, std::int32_t r) const noexcept
    {
        return c + std::size_t(r) * grid_.pointCols;
    }
    ControlPoint& point(std::int32_t c, std::int32_t r) noexcept { return points_[pointIndex(c, r)]; }
    const ControlPoint& point(std::int32_t c, std::int32_t r) const noexcept { return points_[pointIndex(c, r)]; }

    // The tables of the grid step; a cell's samples across less one (0 unbuilt).
    const WeightTables& tables() const noexcept { return tables_; }
    std::int32_t samplesPerCell() const noexcept { return tables_.built() ? grid_.step : 0; }

    CellQueue& cellQueue() noexcept { return cellQueue_; }
    const CellQueue& cellQueue() const noexcept { return cellQueue_; }
    WorkerGate& gate() noexcept { return gate_; } // keeps the worker off what the UI thread replaces
    // What has changed on the picture or its overlay since it was last shown.
    ChangeRegion& changes() noexcept { return changes_; }

    bool dragging() const noexcept { return dragging_; } // a drag holds a point
    void setDragging(bool dragging) noexcept { dragging_ = dragging; }
    PointSelection& selection() noexcept { return selection_; }
    const PointSelection& selection() const noexcept { return selection_; }
    EarlierPasses& passes() noexcept { return passes_; }
    const EarlierPasses& passes() const noexcept { return passes_; }

    void setMessageSink(MessageSink* sink) noexcept { messages_ = sink; } // none: no message is shown
    void showMessage(const std::string& text, MessageIcon icon) const;
    // Bytes the program can still obtain (the system's, unless set): a grant
    // of the system may still get the process killed when its pages are touched.
    void setAvailableMemory(std::function<std::uint64_t()> available) { availableMemory_ = std::move(available); }
    std::uint64_t availableMemory() const;

    // Replaces the buffers with new ones for a width x height picture (width
    // a multiple of 4), with alpha or without, all or nothing: it checks that
    // they fit beside the ones held now, obtains them (splatMask clear) and
    // only then swaps them in; their pixels are the caller's to fill. A grid
    // of another size, the selection and the earlier passes go. On failure it
    // shows the message of the buffer that could not be had, returns false
    // and leaves the model as it was.
    bool allocateBuffers(std::int32_t width, std::int32_t height, bool alpha = false);
    // Why they would not fit beside the ones held now, if they would not.
    std::optional<MemoryShortfall> bufferShortfall(std::int32_t width, std::int32_t height, bool alpha = false) const;
    // The model as created, but for the grid step. The worker must have ended.
    void releaseAll();
    // Copies pixelCapacity() pixels; nothing when the source is empty.
    void copyPixels(const ByteBuffer& source, ByteBuffer& destination);
    void restoreWorkImage(); // workImage and its alpha made afresh from the source's

    // Lays a grid at `step` (at least 1): workImage made afresh, the grid,
    // black margins, and the tables for the step.
    void layGrid(std::int32_t step);
    void resetGrid();       // every point back at rest, and the picture restored
    void blackOutMargins(); // the strips of workImage outside the grid turn black
    void dropGrid();        // the grid and everything built for it go

    // The step and the grid with its displacements, as they stand.
    GridSnapshot snapshotGrid() const;
    // Lays the grid of `snapshot` again: its step, its points with their
    // displacements, its tables; or no grid. workImage is left to the caller.
    void restoreGrid(const GridSnapshot& snapshot);

private:
    void buildGrid();         // a new grid at the grid step, its points at rest
    void buildWeightTables(); // the tables for the step, and the cells' bytes afresh
    void placePoints();       // every point at its grid position, at rest, not picked

    bool imageLoaded_ = false;
    std::int32_t imageWidth_ = 0, imageHeight_ = 0, pixelCapacity_ = 0;
    ByteBuffer workImage_, viewImage_, sourceImage_, splatMask_;
    ByteBuffer sourceAlpha_, workAlpha_, viewAlpha_;
    EarlierPasses passes_;
    PointSelection selection_;
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
