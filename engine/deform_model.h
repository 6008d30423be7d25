#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/cell_queue.h"
#include "engine/change_region.h"
#include "engine/control_point.h"
#include "engine/grid_geometry.h"
#include "engine/grid_snapshot.h"
#include "engine/message_sink.h"
#include "engine/pixel_buffer.h"
#include "engine/worker_gate.h"

namespace plexor {

// Which buffer a picture could not get: the first (WorkImage) or one after it.
enum class MemoryShortfall { Source, Destination };
// The message shown for it: "Not enough memory for source." or "... for
// destination.".
const char* ShortfallMessage(MemoryShortfall shortfall) noexcept;

// The one shared state of the program: the picture's geometry, the four pixel
// buffers, the control grid, the weight tables and the queue of cells for the
// worker.
//
// Pixel buffers hold 3 bytes per pixel (blue, green, red), rows top to bottom
// with no gap, pixel (x, y) at index x + y * ImageWidth, and PixelCapacity =
// ImageWidth * ImageHeight + 3 pixels; the last three belong to no row.
//
// The model keeps itself consistent: the four buffers exist together, sized
// for ImageWidth x ImageHeight, exactly while ImageLoaded is set; a grid,
// while one exists, is the one GridGeometryFor gives for the picture and its
// steps; the tables and CellQueued belong to that grid once the grid command
// is done.
//
// Threads: everything is created, replaced and released on the UI thread,
// and only while it holds `Gate` shut (WorkerHold); the worker touches the
// buffers, the grid and the tables only inside the gate. Control-point
// fields are relaxed atomics, since a drag writes them while the worker may
// read them.
class DeformModel {
public:
    DeformModel();

    // Picture geometry: ImageWidth is always a multiple of 4.
    std::int32_t ImageWidth = 0;
    std::int32_t ImageHeight = 0;
    std::int32_t PixelCapacity = 0;

    PixelBuffer WorkImage;   // the deformed picture
    PixelBuffer ViewImage;   // what the screen shows: WorkImage plus overlay
    PixelBuffer SourceImage; // the picture as read from the file
    PixelBuffer SplatMask;   // one byte per pixel: exact destinations of this batch

    // Control grid. The steps are the ones the next grid is laid at; the
    // shape is that of the grid laid last, all 0 while there is none.
    std::int32_t GridStepX = 48;
    std::int32_t GridStepY = 48;
    const GridGeometry& Grid() const noexcept { return grid_; }
    std::int32_t PointCols() const noexcept { return grid_.PointCols; }
    std::int32_t PointRows() const noexcept { return grid_.PointRows; }
    std::int32_t CellCols() const noexcept { return grid_.CellCols; }
    std::int32_t CellRows() const noexcept { return grid_.CellRows; }
    std::int32_t CellCount() const noexcept { return grid_.CellCount; }
    std::int32_t MarginX() const noexcept { return grid_.MarginX; }
    std::int32_t MarginY() const noexcept { return grid_.MarginY; }
    std::vector<TControlPoint> ControlPoints; // row by row; empty: no grid
    std::vector<std::uint8_t> CellQueued;     // one byte per cell, 1 while queued

    // Weight tables for the grid step.
    std::int32_t SamplesPerCell = 0;
    std::vector<float> BasisTable;   // (n + 1) rows of 4
    std::vector<float> WeightTable;  // (n + 1)^2 blocks of 16
    std::vector<double> WeightLanes; // the same weights, laid out for the fast cell kernel

    TCellQueue CellQueue;

    bool ImageLoaded = false;
    bool Dragging = false;

    // Keeps the worker off what the UI thread releases or replaces.
    WorkerGate Gate;

    // What has changed on the picture or its overlay since it was last shown.
    // The operations here mark what they change; so do the worker, for each
    // cell, and whatever else moves a point or changes how the view is drawn.
    ChangeRegion Changes;

    // Where messages go; none are shown while it is empty.
    MessageSink* Messages = nullptr;
    // Bytes of memory the program can still obtain; the buffers are checked
    // against it before they are allocated, since an allocation that the
    // system grants may still get the process killed when its pages are
    // touched.
    std::function<std::uint64_t()> AvailableMemory;

    bool GridExists() const noexcept { return !ControlPoints.empty(); }
    TControlPoint& Point(std::int32_t col, std::int32_t row) noexcept
    {
        return ControlPoints[static_cast<std::size_t>(col + row * grid_.PointCols)];
    }
    const TControlPoint& Point(std::int32_t col, std::int32_t row) const noexcept
    {
        return ControlPoints[static_cast<std::size_t>(col + row * grid_.PointCols)];
    }

    // Replaces the picture's buffers with new ones for a width x height
    // picture (width a multiple of 4), all or nothing. It first checks that
    // they fit beside the ones held now, then obtains WorkImage, ViewImage,
    // SourceImage and a clear SplatMask, and only then swaps them in and sets
    // the geometry and ImageLoaded; their pixels are the caller's to fill. A
    // grid laid for another size goes with the old picture. On any failure it
    // shows the message of the buffer that could not be had, returns false
    // and leaves the model exactly as it was.
    bool AllocateBuffers(std::int32_t width, std::int32_t height);
    // Why the buffers for a width x height picture would not fit beside the
    // ones held now; nothing when they would. Changes nothing.
    std::optional<MemoryShortfall> BufferShortfall(std::int32_t width, std::int32_t height) const;
    // Releases the buffers, the grid and everything built for it: the model
    // as it was created, but for the grid step. The worker must have ended.
    void ReleaseAll();
    // Copies PixelCapacity pixels; nothing when the source is empty.
    void CopyPixels(const PixelBuffer& source, PixelBuffer& destination);
    // Lays a new grid at GridStepX, GridStepY (both at least 1).
    void BuildGrid();
    // Lays a grid at `step` as the grid command does: WorkImage made afresh
    // from SourceImage, the grid, black margins, and the tables for the
    // step. The model holds a picture.
    void LayGrid(std::int32_t step);
    // Puts every point back to its grid position and restores the picture.
    void ResetGrid();
    // Paints the strips of WorkImage outside the grid black.
    void BlackOutMargins();
    // Builds the weight tables for GridStepX, and starts the cell
    // bookkeeping afresh.
    void BuildWeightTables();

    // Drops the grid and everything built for it: the state of a picture
    // without grid.
    void DropGrid();

    // The steps and the grid with its displacements, as they stand.
    GridSnapshot SnapshotGrid() const;
    // Lays the grid of `snapshot` again over the picture: its steps, its
    // points with their displacements, its tables; or no grid. WorkImage is
    // left to the caller. The worker must be idle.
    void RestoreGrid(const GridSnapshot& snapshot);

    void ShowMessage(const std::string& text, int style) const;

private:
    // Lays the points of the current grid at their grid positions, with no
    // displacement and none picked.
    void PlacePoints();

    GridGeometry grid_;
};

// Bytes the system can still give this process: the smaller of the memory
// available on the machine and what the process's memory limit leaves.
std::uint64_t SystemAvailableMemory();

} // namespace plexor
