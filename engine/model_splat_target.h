#pragma once

#include "engine/deform_model.h"
#include "engine/splat.h"

namespace plexor {

// The buffers a model's cells splat into: the work image from the source,
// the splat mask, and the alpha beside them when the picture has one.
inline SplatTarget modelSplatTarget(DeformModel& m) noexcept
{
    SplatTarget target{m.workImage().data(), m.splatMask().data(), m.sourceImage().data(), m.pixelCapacity(),
                       m.imageWidth()};
    if (m.hasAlpha()) {
        target.workAlpha = m.workAlpha().data();
        target.sourceAlpha = m.sourceAlpha().data();
    }
    return target;
}

} // namespace plexor
