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

// Which buffer a picture could not get: the first (workImage) or one after it.
enum class MemoryShortfall { Source, Destination };
// The message shown for it: "Not enough memory for source." or "... for
// destination.".
const char* shortfallMessage(MemoryShortfall shortfall) noexcept;

// The one shared state of the program: the picture's geometry, the four pixel
// buffers, the control grid, the weight tables and the queue of cells for the
// worker.
//
// Pixel buffers hold 3 bytes per pixel (blue, green, red), rows top to bottom
// with no gap, pixel (x, y) at index x + y * imageWidth, and pixelCapacity =
// imageWidth * imageHeight + 3 pixels; the last three belong to no row.
//
// The model keeps itself consistent: the four buffers exist together, sized
// for imageWidth x imageHeight, exactly while imageLoaded is set; a grid,
// while one exists, is the one gridGeometryFor gives for the picture and its
// steps; the tables and cellQueued belong to that grid once the grid command
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

    // Picture geometry: imageWidth is always a multiple of 4.
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t pixelCapacity = 0;

    PixelBuffer workImage;   // the deformed picture
    PixelBuffer viewImage;   // what the screen shows: workImage plus overlay
    PixelBuffer sourceImage; // the picture as read from the file
    PixelBuffer splatMask;   // one byte per pixel: exact destinations of this batch

    // Control grid. The steps are the ones the next grid is laid at; the
    // shape is that of the grid laid last, all 0 while there is none.
    std::int32_t gridStepX = 48;
    std::int32_t gridStepY = 48;
    const GridGeometry& grid() const noexcept { return grid_; }
    std::int32_t pointCols() const noexcept { return grid_.pointCols; }
    std::int32_t pointRows() const noexcept { return grid_.pointRows; }
    std::int32_t cellCols() const noexcept { return grid_.cellCols; }
    std::int32_t cellRows() const noexcept { return grid_.cellRows; }
    std::int32_t cellCount() const noexcept { return grid_.cellCount; }
    std::int32_t marginX() const noexcept { return grid_.marginX; }
    std::int32_t marginY() const noexcept { return grid_.marginY; }
    std::vector<ControlPoint> controlPoints; // row by row; empty: no grid
    std::vector<std::uint8_t> cellQueued;    // one byte per cell, 1 while queued

    // Weight tables for the grid step.
    std::int32_t samplesPerCell = 0;
    std::vector<float> basisTable;   // (n + 1) rows of 4
    std::vector<float> weightTable;  // (n + 1)^2 blocks of 16
    std::vector<double> weightLanes; // the same weights, laid out for the fast cell kernel

    CellQueue cellQueue;

    bool imageLoaded = false;
    bool dragging = false;

    // Keeps the worker off what the UI thread releases or replaces.
    WorkerGate gate;

    // What has changed on the picture or its overlay since it was last shown.
    // The operations here mark what they change; so do the worker, for each
    // cell, and whatever else moves a point or changes how the view is drawn.
    ChangeRegion changes;

    // Where messages go; none are shown while it is empty.
    MessageSink* messages = nullptr;
    // Bytes of memory the program can still obtain; the buffers are checked
    // against it before they are allocated, since an allocation that the
    // system grants may still get the process killed when its pages are
    // touched.
    std::function<std::uint64_t()> availableMemory;

    bool gridExists() const noexcept { return !controlPoints.empty(); }
    ControlPoint& point(std::int32_t col, std::int32_t row) noexcept
    {
        return controlPoints[static_cast<std::size_t>(col + row * grid_.pointCols)];
    }
    const ControlPoint& point(std::int32_t col, std::int32_t row) const noexcept
    {
        return controlPoints[static_cast<std::size_t>(col + row * grid_.pointCols)];
    }

    // Replaces the picture's buffers with new ones for a width x height
    // picture (width a multiple of 4), all or nothing. It first checks that
    // they fit beside the ones held now, then obtains workImage, viewImage,
    // sourceImage and a clear splatMask, and only then swaps them in and sets
    // the geometry and imageLoaded; their pixels are the caller's to fill. A
    // grid laid for another size goes with the old picture. On any failure it
    // shows the message of the buffer that could not be had, returns false
    // and leaves the model exactly as it was.
    bool allocateBuffers(std::int32_t width, std::int32_t height);
    // Why the buffers for a width x height picture would not fit beside the
    // ones held now; nothing when they would. Changes nothing.
    std::optional<MemoryShortfall> bufferShortfall(std::int32_t width, std::int32_t height) const;
    // Releases the buffers, the grid and everything built for it: the model
    // as it was created, but for the grid step. The worker must have ended.
    void releaseAll();
    // Copies pixelCapacity pixels; nothing when the source is empty.
    void copyPixels(const PixelBuffer& source, PixelBuffer& destination);
    // Lays a new grid at gridStepX, gridStepY (both at least 1).
    void buildGrid();
    // Lays a grid at `step` as the grid command does: workImage made afresh
    // from sourceImage, the grid, black margins, and the tables for the
    // step. The model holds a picture.
    void layGrid(std::int32_t step);
    // Puts every point back to its grid position and restores the picture.
    void resetGrid();
    // Paints the strips of workImage outside the grid black.
    void blackOutMargins();
    // Builds the weight tables for gridStepX, and starts the cell
    // bookkeeping afresh.
    void buildWeightTables();

    // Drops the grid and everything built for it: the state of a picture
    // without grid.
    void dropGrid();

    // The steps and the grid with its displacements, as they stand.
    GridSnapshot snapshotGrid() const;
    // Lays the grid of `snapshot` again over the picture: its steps, its
    // points with their displacements, its tables; or no grid. workImage is
    // left to the caller. The worker must be idle.
    void restoreGrid(const GridSnapshot& snapshot);

    void showMessage(const std::string& text, MessageIcon icon) const;

private:
    // Lays the points of the current grid at their grid positions, with no
    // displacement and none picked.
    void placePoints();

    GridGeometry grid_;
};

// Bytes the system can still give this process: the smaller of the memory
// available on the machine and what the process's memory limit leaves.
std::uint64_t systemAvailableMemory();

} // namespace plexor
