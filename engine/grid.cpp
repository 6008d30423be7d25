#include <cassert>

#include "engine/deform_model.h"

namespace plexor {

void DeformModel::placePoints()
{
    for (std::int32_t r = 0; r < grid_.pointRows; ++r) {
        for (std::int32_t c = 0; c < grid_.pointCols; ++c) {
            ControlPoint& p = point(c, r);
            p.x = grid_.marginX + c * grid_.stepX;
            p.y = grid_.marginY + r * grid_.stepY;
            p.dx = 0;
            p.dy = 0;
            p.selected = 0;
        }
    }
}

void DeformModel::buildGrid()
{
    WorkerHold hold(gate);
    controlPoints.clear();
    controlPoints.shrink_to_fit();

    grid_ = gridGeometryFor(imageWidth, imageHeight, gridStepX, gridStepY);
    controlPoints = std::vector<ControlPoint>(static_cast<std::size_t>(grid_.pointCount()));
    placePoints();
    changes.markAll();
}

void DeformModel::layGrid(std::int32_t step)
{
    WorkerHold hold(gate);
    gridStepX = step;
    gridStepY = step;
    copyPixels(sourceImage, workImage);
    buildGrid();
    blackOutMargins();
    buildWeightTables();
}

void DeformModel::resetGrid()
{
    assert(gridExists());
    placePoints();
    changes.markAll();
    // A batch in progress goes on afterwards with the zeroed displacements;
    // the hold only keeps its pixel writes apart from the restore.
    WorkerHold hold(gate);
    copyPixels(sourceImage, workImage);
    blackOutMargins();
}

} // namespace plexor
