#pragma once

#include <cstdint>
#include <functional>

#include "engine/cell_footprint.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/deform_cell.h"
#include "engine/grid_laying.h"
#include "engine/picture_buffers.h"
#include "platform/worker_thread.h"
#include "tests/support/colours.h"

namespace plexor::test {

// The picture's buffers, the control grid and the cell work, as the program
// holds them, for the tests of what works on them.
struct TestModel {
    PictureBuffers picture;
    ControlGrid grid;
    CellWork work;

    // Lays a grid at `step` as the grid command does.
    void layGrid(std::int32_t step) { plexor::layGrid(grid, picture, work, step); }
    // Moves point (c, r) to displacement (dx, dy).
    void displace(std::int32_t c, std::int32_t r, std::int32_t dx, std::int32_t dy)
    {
        grid.displace(grid.index(c, r), dx, dy);
    }
    // Queues the cells around point (c, r), then a refresh marker, as a
    // drag's release does, and wakes the worker.
    void queueCellsAround(WorkerThread& worker, std::int32_t c, std::int32_t r)
    {
        CellRef around[16];
        const std::size_t count = cellsAround(grid.shape(), c, r, around);
        work.queue().appendBatch(std::span<const CellRef>(around, count));
        worker.wake();
    }
    // Deforms one cell as the worker does.
    CellFootprint deform(CellRef cell) { return deformCell(grid.sampling(), picture.splatTarget(), cell); }
};

// Gives the model a width x height picture (width a multiple of 4) as Open
// does: its buffers, with pixel (x, y) of colour(x, y) in every plane, and
// with `alpha`, the alpha of pixel (x, y) alpha(x, y) in the alpha planes; a
// grid of another size goes. Fails the test when the buffers cannot be had.
void loadPicture(TestModel& model, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour = pattern,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha = {});
// With `low`, a deep picture whose low bytes are low(x, y) and, with alpha,
// lowAlpha(x, y).
void loadPicture(PictureBuffers& picture, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour = pattern,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha = {},
                 const std::function<Rgb(std::int32_t, std::int32_t)>& low = {},
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& lowAlpha = {});

// Whether two buffers (or all planes of two pictures) hold the same bytes.
bool sameBytes(const ByteBuffer& a, const ByteBuffer& b);
bool sameBytes(const PixelPlanes& a, const PixelPlanes& b);

} // namespace plexor::test
