#include "engine/grid_laying.h"

namespace plexor {

void layGrid(ControlGrid& grid, PictureBuffers& picture, CellWork& work, std::int32_t step)
{
    picture.restoreWork();
    grid.lay(step, picture.width(), picture.height());
    picture.blackOutMargins(grid.shape());
    work.queue().reset(grid.shape().cellCols, grid.shape().cellCount);
    work.changes().markAll();
}

void resetGrid(ControlGrid& grid, PictureBuffers& picture, CellWork& work)
{
    grid.reset();
    picture.restoreWork();
    picture.blackOutMargins(grid.shape());
    work.changes().markAll();
}

void restoreGrid(ControlGrid& grid, const GridSnapshot& snapshot, const PictureBuffers& picture, CellWork& work)
{
    grid.restore(snapshot, picture.width(), picture.height());
    work.queue().reset(grid.shape().cellCols, grid.shape().cellCount);
    work.changes().markAll();
}

void dropGrid(ControlGrid& grid, CellWork& work)
{
    grid.drop();
    work.queue().reset(0, 0);
    work.changes().markAll();
}

} // namespace plexor
