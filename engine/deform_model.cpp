#include "engine/deform_model.h"

#include <algorithm>
#include <cstring>

namespace plexor {

DeformModel::DeformModel() : AvailableMemory(SystemAvailableMemory) {}

void DeformModel::ShowMessage(const std::string& text, int style) const
{
    if (Messages != nullptr) Messages->ShowMessage(text, "Error", style);
}

void DeformModel::CopyPixels(const PixelBuffer& source, PixelBuffer& destination)
{
    if (source.empty()) return;
    if (destination.empty()) {
        ShowMessage("memcpy failed", MB_OK);
        return;
    }
    std::size_t bytes = static_cast<std::size_t>(PixelCapacity) * 3;
    bytes = std::min({bytes, source.size(), destination.size()});
    std::memcpy(destination.data(), source.data(), bytes);
}

void DeformModel::DropGrid()
{
    ControlPoints.clear();
    ControlPoints.shrink_to_fit();
    PointCols = PointRows = CellCols = CellRows = CellCount = 0;
    MarginX = MarginY = 0;
    BasisTable.clear();
    WeightTable.clear();
    WeightLanes.clear();
    SamplesPerCell = 0;
    CellQueue.Clear(CellQueued);
    CellQueued.clear();
    Dragging = false;
}

} // namespace plexor
