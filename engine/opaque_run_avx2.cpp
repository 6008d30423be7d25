// The opaque run kernel for processors with AVX2: each sub-sample's four
// rows of taps side by side in vector registers. Built with -mavx2 and run
// only where the processor has it. It computes in integers alone.
//
// Everything here with a body has internal linkage and calls no template
// of the standard library, so that the linker never hands code built for
// AVX2 to a caller elsewhere (see cell_kernel.h).

#include <cstring>

#include <immintrin.h>

#include "engine/opaque_run.h"

namespace plexor {
namespace {

// The exact sums of one sub-sample's 16 taps: blue, green, red, 0. Across
// each row first, in 16-bit products summed in pairs, then down the rows.
__m128i subsampleSums(const std::uint8_t* p, std::int64_t stride, const std::int16_t* wu, const std::int32_t* wv)
{
    // A row of four pixels (12 bytes, blue, green, red each) rearranged
    // channel by channel: the four blues, the four greens, the four reds,
    // then zeros. Made here, not at namespace scope, where it would be
    // made with AVX2 at start-up on every processor.
    const __m128i kChannelsApart = _mm_setr_epi8(0, 3, 6, 9, 1, 4, 7, 10, 2, 5, 8, 11, -1, -1, -1, -1);
    std::int64_t across;
    std::memcpy(&across, wu, 8);
    const __m256i wuWords = _mm256_set1_epi64x(across);
    // Each row: blue 0+1, blue 2+3, green 0+1, green 2+3 | red 0+1, red 2+3, 0, 0.
    const auto row = [&](int j) {
        const __m128i bytes = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i*)(p + j * stride)), kChannelsApart);
        return _mm256_mullo_epi32(_mm256_madd_epi16(_mm256_cvtepu8_epi16(bytes), wuWords), _mm256_set1_epi32(wv[j]));
    };
    const __m256i sums = _mm256_add_epi32(_mm256_add_epi32(row(0), row(1)), _mm256_add_epi32(row(2), row(3)));
    const __m256i pairs = _mm256_hadd_epi32(sums, sums); // blue, green, blue, green | red, 0, red, 0
    return _mm_unpacklo_epi64(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
}

} // namespace

void shadeOpaqueRunsAvx2(const OpaqueRuns& r) noexcept
{
    const SubsampleLayout& s = *r.layout;
    const std::int64_t stride = 3 * r.width;
    const std::int64_t half = std::int64_t{1} << (s.shift - 1);
    if (s.count == 1) {
        const __m128i round = _mm_set1_epi32(static_cast<std::int32_t>(half));
        const __m128i shift = _mm_cvtsi32_si128(s.shift);
        const std::int64_t offsetU = s.offsetU[0] - kPhaseOffset, offsetV = s.offsetV[0] - kPhaseOffset;
        for (std::int32_t run = 0; run < r.runs; ++run) {
            std::int64_t u = r.u[run] + offsetU, v = r.v[run] + offsetV;
            std::uint8_t* out = r.work + 3 * r.at[run];
            for (std::int32_t k = 0; k < r.count[run]; ++k, u += r.uAcross, v += r.vAcross, out += 3) {
                const std::int64_t tu = u >> kPhaseDrop, tv = v >> kPhaseDrop;
                const std::uint8_t* p = r.source + ((tv >> kPhaseBits) - 1) * stride + 3 * ((tu >> kPhaseBits) - 1);
                const __m128i sums =
                    subsampleSums(p, stride, s.tapsU[tu & (kPhases - 1)], s.wideTapsV[tv & (kPhases - 1)]);
                const __m128i values = _mm_sra_epi32(_mm_add_epi32(sums, round), shift);
                const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(values, values), values);
                // Two bytes and one, straight from the register.
                const auto pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
                const auto low = static_cast<std::uint16_t>(pixel);
                std::memcpy(out, &low, 2);
                out[2] = static_cast<std::uint8_t>(pixel >> 16);
            }
        }
        return;
    }
    for (std::int32_t run = 0; run < r.runs; ++run) {
        std::int64_t u = r.u[run], v = r.v[run];
        std::uint8_t* out = r.work + 3 * r.at[run];
        for (std::int32_t k = 0; k < r.count[run]; ++k, u += r.uAcross, v += r.vAcross, out += 3) {
            __m256i total = _mm256_setzero_si256();
            for (std::int32_t i = 0; i < s.count; ++i) {
                const std::int64_t tu = (u + s.offsetU[i] - kPhaseOffset) >> kPhaseDrop;
                const std::int64_t tv = (v + s.offsetV[i] - kPhaseOffset) >> kPhaseDrop;
                const std::uint8_t* p = r.source + ((tv >> kPhaseBits) - 1) * stride + 3 * ((tu >> kPhaseBits) - 1);
                total =
                    _mm256_add_epi64(total, _mm256_cvtepi32_epi64(subsampleSums(p, stride, s.tapsU[tu & (kPhases - 1)],
                                                                                s.wideTapsV[tv & (kPhases - 1)])));
            }
            std::int64_t sums[4];
            std::memcpy(sums, &total, sizeof sums);
            for (int ch = 0; ch < 3; ++ch) {
                const std::int64_t value = (sums[ch] + half) >> s.shift;
                out[ch] = static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
            }
        }
    }
}

} // namespace plexor
