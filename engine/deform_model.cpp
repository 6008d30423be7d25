#include "engine/deform_model.h"

#include <cassert>
#include <cstring>
#include <limits>

#include "engine/system_memory.h"

namespace plexor {

DeformModel::DeformModel() : availableMemory_(systemAvailableMemory)
{
    grid_.step = kDefaultGridStep;
}

void DeformModel::showMessage(const std::string& text, MessageIcon icon) const
{
    if (messages_ != nullptr) messages_->showMessage(text, "Error", icon);
}

std::uint64_t DeformModel::availableMemory() const
{
    return availableMemory_ ? availableMemory_() : std::numeric_limits<std::uint64_t>::max();
}

void DeformModel::copyPixels(const ByteBuffer& source, ByteBuffer& destination)
{
    if (source.empty()) return;
    if (destination.empty()) {
        showMessage("memcpy failed", MessageIcon::None);
        return;
    }
    assert(source.size() == destination.size() && source.size() == static_cast<std::size_t>(pixelCapacity_) * 3);
    std::memcpy(destination.data(), source.data(), source.size());
}

void DeformModel::restoreWorkImage()
{
    copyPixels(sourceImage_, workImage_);
    if (hasAlpha()) std::memcpy(workAlpha_.data(), sourceAlpha_.data(), sourceAlpha_.size());
}

} // namespace plexor
