#include "engine/grid_snapshot.h"

#include <cassert>

#include "engine/deform_model.h"

namespace plexor {

GridSnapshot DeformModel::snapshotGrid() const
{
    GridSnapshot s;
    s.stepX = gridStepX;
    s.stepY = gridStepY;
    s.exists = gridExists();
    s.dx.reserve(controlPoints.size());
    s.dy.reserve(controlPoints.size());
    for (const ControlPoint& p : controlPoints) {
        s.dx.push_back(p.dx);
        s.dy.push_back(p.dy);
    }
    return s;
}

void DeformModel::restoreGrid(const GridSnapshot& snapshot)
{
    WorkerHold hold(gate);
    gridStepX = snapshot.stepX;
    gridStepY = snapshot.stepY;
    if (!snapshot.exists) {
        dropGrid();
        return;
    }
    buildGrid();
    assert(snapshot.dx.size() == controlPoints.size());
    for (std::size_t i = 0; i < controlPoints.size(); ++i) {
        controlPoints[i].dx = snapshot.dx[i];
        controlPoints[i].dy = snapshot.dy[i];
    }
    buildWeightTables();
}

} // namespace plexor
