#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/cell_queue.h"
#include "engine/control_point.h"
#include "engine/message_sink.h"
#include "engine/pixel_buffer.h"
#include "engine/worker_gate.h"

namespace plexor {

// The one shared state of the program: the picture's geometry, the four pixel
// buffers, the control grid, the weight tables and the queue of cells for the
// worker.
//
// Pixel buffers hold 3 bytes per pixel (blue, green, red), rows top to bottom
// with no gap, pixel (x, y) at index x + y * ImageWidth, and PixelCapacity =
// ImageWidth * ImageHeight + 3 pixels; the last three belong to no row.
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

    // Control grid.
    std::int32_t GridStepX = 48;
    std::int32_t GridStepY = 48;
    std::int32_t PointCols = 0;
    std::int32_t PointRows = 0;
    std::int32_t CellCols = 0;
    std::int32_t CellRows = 0;
    std::int32_t CellCount = 0;
    std::int32_t MarginX = 0;
    std::int32_t MarginY = 0;
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
        return ControlPoints[static_cast<std::size_t>(col + row * PointCols)];
    }
    const TControlPoint& Point(std::int32_t col, std::int32_t row) const noexcept
    {
        return ControlPoints[static_cast<std::size_t>(col + row * PointCols)];
    }

    // Obtains WorkImage, ViewImage and SourceImage for the current geometry.
    bool AllocateBuffers();
    // The message AllocateBuffers would show for a picture of width x height,
    // were `freeable` more bytes available than now; nullptr when the buffers
    // and the splat mask fit. Lets a caller find out before it changes
    // anything.
    const char* BufferShortfall(std::int32_t width, std::int32_t height, std::uint64_t freeable) const;
    // Copies PixelCapacity pixels; nothing when the source is empty.
    void CopyPixels(const PixelBuffer& source, PixelBuffer& destination);
    // Lays a new grid at GridStepX, GridStepY (both at least 1).
    void BuildGrid();
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

    void ShowMessage(const std::string& text, int style) const;
};

// Bytes the system can still give this process: the smaller of the memory
// available on the machine and what the process's memory limit leaves.
std::uint64_t SystemAvailableMemory();

} // namespace plexor
