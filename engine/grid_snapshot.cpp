#include "engine/grid_snapshot.h"

#include <cassert>

#include "engine/deform_model.h"

namespace plexor {

GridSnapshot DeformModel::SnapshotGrid() const
{
    GridSnapshot s;
    s.StepX = GridStepX;
    s.StepY = GridStepY;
    s.Exists = GridExists();
    s.DX.reserve(ControlPoints.size());
    s.DY.reserve(ControlPoints.size());
    for (const TControlPoint& p : ControlPoints) {
        s.DX.push_back(p.DX);
        s.DY.push_back(p.DY);
    }
    return s;
}

void DeformModel::RestoreGrid(const GridSnapshot& snapshot)
{
    WorkerHold hold(Gate);
    GridStepX = snapshot.StepX;
    GridStepY = snapshot.StepY;
    if (!snapshot.Exists) {
        DropGrid();
        return;
    }
    BuildGrid();
    assert(snapshot.DX.size() == ControlPoints.size());
    for (std::size_t i = 0; i < ControlPoints.size(); ++i) {
        ControlPoints[i].DX = snapshot.DX[i];
        ControlPoints[i].DY = snapshot.DY[i];
    }
    BuildWeightTables();
}

} // namespace plexor
