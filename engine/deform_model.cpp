#include "engine/deform_model.h"

#include <cassert>
#include <cstring>

namespace plexor {

DeformModel::DeformModel() : availableMemory(systemAvailableMemory) {}

void DeformModel::showMessage(const std::string& text, MessageIcon icon) const
{
    if (messages != nullptr) messages->showMessage(text, "Error", icon);
}

void DeformModel::copyPixels(const PixelBuffer& source, PixelBuffer& destination)
{
    if (source.empty()) return;
    if (destination.empty()) {
        showMessage("memcpy failed", MessageIcon::None);
        return;
    }
    assert(source.size() == destination.size() && source.size() == static_cast<std::size_t>(pixelCapacity) * 3);
    std::memcpy(destination.data(), source.data(), source.size());
}

void DeformModel::dropGrid()
{
    controlPoints.clear();
    controlPoints.shrink_to_fit();
    grid_ = GridGeometry{};
    changes.markAll();
    basisTable.clear();
    weightTable.clear();
    weightLanes.clear();
    samplesPerCell = 0;
    cellQueue.clear(cellQueued);
    cellQueued.clear();
    dragging = false;
}

} // namespace plexor
