#include "engine/deform_model.h"

#include <cassert>
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
    assert(source.size() == destination.size() && source.size() == static_cast<std::size_t>(PixelCapacity) * 3);
    std::memcpy(destination.data(), source.data(), source.size());
}

void DeformModel::DropGrid()
{
    ControlPoints.clear();
    ControlPoints.shrink_to_fit();
    grid_ = GridGeometry{};
    Changes.MarkAll();
    BasisTable.clear();
    WeightTable.clear();
    WeightLanes.clear();
    SamplesPerCell = 0;
    CellQueue.Clear(CellQueued);
    CellQueued.clear();
    Dragging = false;
}

} // namespace plexor
