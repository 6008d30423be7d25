#include <cassert>

#include "engine/deform_model.h"

namespace plexor {

void DeformModel::PlacePoints()
{
    for (std::int32_t r = 0; r < grid_.PointRows; ++r) {
        for (std::int32_t c = 0; c < grid_.PointCols; ++c) {
            TControlPoint& p = Point(c, r);
            p.X = grid_.MarginX + c * grid_.StepX;
            p.Y = grid_.MarginY + r * grid_.StepY;
            p.DX = 0;
            p.DY = 0;
            p.Selected = 0;
        }
    }
}

void DeformModel::BuildGrid()
{
    WorkerHold hold(Gate);
    ControlPoints.clear();
    ControlPoints.shrink_to_fit();

    grid_ = GridGeometryFor(ImageWidth, ImageHeight, GridStepX, GridStepY);
    ControlPoints = std::vector<TControlPoint>(static_cast<std::size_t>(grid_.PointCount()));
    PlacePoints();
    Changes.MarkAll();
}

void DeformModel::LayGrid(std::int32_t step)
{
    WorkerHold hold(Gate);
    GridStepX = step;
    GridStepY = step;
    CopyPixels(SourceImage, WorkImage);
    BuildGrid();
    BlackOutMargins();
    BuildWeightTables();
}

void DeformModel::ResetGrid()
{
    assert(GridExists());
    PlacePoints();
    Changes.MarkAll();
    // A batch in progress goes on afterwards with the zeroed displacements;
    // the hold only keeps its pixel writes apart from the restore.
    WorkerHold hold(Gate);
    CopyPixels(SourceImage, WorkImage);
    BlackOutMargins();
}

} // namespace plexor
