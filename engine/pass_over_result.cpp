#include "engine/pass_over_result.h"

#include <cstring>
#include <new>

namespace plexor {

bool keepOpenedImage(DeformModel& m)
{
    if (m.passes().kept() || !m.imageLoaded()) return true;
    const std::size_t bytes = m.sourceImage().size();
    const std::size_t alphaBytes = m.sourceAlpha().size();
    ByteBuffer copy;
    ByteBuffer alpha;
    if (bytes + alphaBytes <= m.availableMemory()) {
        try {
            copy = ByteBuffer::uninitialised(bytes);
            if (alphaBytes != 0) alpha = ByteBuffer::uninitialised(alphaBytes);
        } catch (const std::bad_alloc&) {
            copy.release();
        }
    }
    if (copy.empty()) {
        m.showMessage(shortfallMessage(MemoryShortfall::Source), MessageIcon::Stop);
        return false;
    }
    std::memcpy(copy.data(), m.sourceImage().data(), bytes);
    if (alphaBytes != 0) std::memcpy(alpha.data(), m.sourceAlpha().data(), alphaBytes);
    m.passes().keep(std::move(copy), std::move(alpha));
    return true;
}

bool beginPassOverResult(DeformModel& m)
{
    if (!keepOpenedImage(m)) return false;
    WorkerHold hold(m.gate());
    m.copyPixels(m.workImage(), m.sourceImage());
    if (m.hasAlpha()) std::memcpy(m.sourceAlpha().data(), m.workAlpha().data(), m.sourceAlpha().size());
    if (!m.splatMask().empty()) std::memset(m.splatMask().data(), 0, m.splatMask().size());
    return true;
}

void startFromOpenedImage(DeformModel& m)
{
    WorkerHold hold(m.gate());
    if (m.passes().kept()) {
        m.copyPixels(m.passes().openedImage(), m.sourceImage());
        if (m.hasAlpha()) std::memcpy(m.sourceAlpha().data(), m.passes().openedAlpha().data(), m.sourceAlpha().size());
    }
    m.passes().setList({});
}

} // namespace plexor
