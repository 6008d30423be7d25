#include <cassert>

#include "engine/deform_model.h"

namespace plexor {

void DeformModel::BuildGrid()
{
    assert(GridStepX >= 1 && GridStepY >= 1);
    WorkerHold hold(Gate);

    ControlPoints.clear();
    ControlPoints.shrink_to_fit();

    PointCols = ImageWidth / GridStepX + 1;
    PointRows = ImageHeight / GridStepY + 1;
    CellCols = PointCols - 1;
    CellRows = PointRows - 1;
    CellCount = CellCols * CellRows;
    MarginX = (ImageWidth - (PointCols - 1) * GridStepX) / 2;
    MarginY = (ImageHeight - (PointRows - 1) * GridStepY) / 2;

    ControlPoints =
        std::vector<TControlPoint>(static_cast<std::size_t>(PointCols) * static_cast<std::size_t>(PointRows));
    for (std::int32_t r = 0; r < PointRows; ++r) {
        for (std::int32_t c = 0; c < PointCols; ++c) {
            TControlPoint& p = Point(c, r);
            p.X = c * GridStepX + MarginX;
            p.Y = r * GridStepY + MarginY;
            p.DX = 0;
            p.DY = 0;
            p.Selected = 0;
        }
    }
}

void DeformModel::ResetGrid()
{
    assert(GridExists());
    for (std::int32_t r = 0; r < PointRows; ++r) {
        for (std::int32_t c = 0; c < PointCols; ++c) {
            TControlPoint& p = Point(c, r);
            p.X = MarginX + c * GridStepX;
            p.Y = MarginY + r * GridStepY;
            p.DX = 0;
            p.DY = 0;
            p.Selected = 0;
        }
    }
    // A batch in progress goes on afterwards with the zeroed displacements;
    // the hold only keeps its pixel writes apart from the restore.
    WorkerHold hold(Gate);
    CopyPixels(SourceImage, WorkImage);
    BlackOutMargins();
}

} // namespace plexor
