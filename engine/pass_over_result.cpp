#include "engine/pass_over_result.h"

#include <cstring>
#include <new>

namespace plexor {

bool keepOpenedImage(DeformModel& m)
{
    if (m.passes().kept() || !m.imageLoaded()) return true;
    const std::size_t bytes = m.sourceImage().size();
    ByteBuffer copy;
    if (bytes <= m.availableMemory()) {
        try {
            copy = ByteBuffer::uninitialised(bytes);
        } catch (const std::bad_alloc&) {}
    }
    if (copy.empty()) {
        m.showMessage(shortfallMessage(MemoryShortfall::Source), MessageIcon::Stop);
        return false;
    }
    std::memcpy(copy.data(), m.sourceImage().data(), bytes);
    m.passes().keep(std::move(copy));
    return true;
}

bool beginPassOverResult(DeformModel& m)
{
    if (!keepOpenedImage(m)) return false;
    WorkerHold hold(m.gate());
    m.copyPixels(m.workImage(), m.sourceImage());
    if (!m.splatMask().empty()) std::memset(m.splatMask().data(), 0, m.splatMask().size());
    return true;
}

void startFromOpenedImage(DeformModel& m)
{
    WorkerHold hold(m.gate());
    if (m.passes().kept()) m.copyPixels(m.passes().openedImage(), m.sourceImage());
    m.passes().setList({});
}

} // namespace plexor
