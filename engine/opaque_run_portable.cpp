#include <algorithm>

#include "engine/opaque_run.h"

namespace plexor {

void shadeOpaqueRunsPortable(const OpaqueRuns& r) noexcept
{
    const SubsampleLayout& s = *r.layout;
    const std::int64_t stride = 3 * r.width;
    const std::int64_t half = std::int64_t{1} << (s.shift - 1);
    for (std::int32_t run = 0; run < r.runs; ++run) {
        std::int64_t u = r.u[run], v = r.v[run];
        std::uint8_t* out = r.work + 3 * r.at[run];
        for (std::int32_t k = 0; k < r.count[run]; ++k, u += r.uAcross, v += r.vAcross, out += 3) {
            std::int64_t total[3] = {0, 0, 0};
            for (std::int32_t i = 0; i < s.count; ++i) {
                const std::int64_t tu = (u + s.offsetU[i] - kPhaseOffset) >> kPhaseDrop;
                const std::int64_t tv = (v + s.offsetV[i] - kPhaseOffset) >> kPhaseDrop;
                const std::int16_t* wu = s.tapsU[tu & (kPhases - 1)];
                const std::int16_t* wv = s.tapsV[tv & (kPhases - 1)];
                const std::uint8_t* p = r.source + ((tv >> kPhaseBits) - 1) * stride + 3 * ((tu >> kPhaseBits) - 1);
                std::int32_t sum[3] = {0, 0, 0};
                for (int j = 0; j < 4; ++j, p += stride)
                    for (int ch = 0; ch < 3; ++ch)
                        sum[ch] += wv[j] * (wu[0] * p[ch] + wu[1] * p[3 + ch] + wu[2] * p[6 + ch] + wu[3] * p[9 + ch]);
                for (int ch = 0; ch < 3; ++ch) total[ch] += sum[ch];
            }
            for (int ch = 0; ch < 3; ++ch)
                out[ch] = static_cast<std::uint8_t>(std::clamp<std::int64_t>((total[ch] + half) >> s.shift, 0, 255));
        }
    }
}

} // namespace plexor
