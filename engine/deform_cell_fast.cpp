// The production deformation of one cell. It gives the same bits as the
// literal kernel, faster:
//
// Each coordinate term is x := f(x + s * w), with s an integer below 2^29 in
// magnitude and w a float, so s * w is exact in double. The literal kernel
// rounds the sum to a 64-bit significand and then to float; here the sum is
// rounded to double (53 bits) and then to float. Neither first rounding can
// step across a point halfway between two floats, since such points are
// representable in both formats; the two results can differ only when the
// double sum lands exactly on such a halfway point, and then the literal sum
// lands there too or the exact sum lies beside it. So a double sum that is
// not a halfway point gives the literal's float, and a sample with any term
// that is one (or whose sum is too small for a normal float, where the float
// grid is coarser) is recomputed the literal way. Such samples are rare.
//
// Eight samples of a row are computed side by side, so that their
// independent chains of additions overlap.

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include <immintrin.h>

#include "engine/cell_terms.h"
#include "engine/deform_cell.h"
#include "engine/deform_cell_internal.h"
#include "engine/extended.h"
#include "engine/splat.h"
#include "engine/weight_tables.h"

namespace plexor {
namespace {

constexpr std::int64_t kExactTermLimit = std::int64_t{1} << 29;

static_assert(kWeightLanes % 4 == 0, "a chunk is whole groups of four lanes");

struct Chunk {
    float x[kWeightLanes];
    float y[kWeightLanes];
    std::uint64_t suspect[kWeightLanes];
};

// Non-zero when a double sum lies exactly halfway between two floats: the
// one case where it may not round to the literal's float.
//
// Below the normal floats no such case arises: every weight and every float
// sum is a whole multiple of the smallest float step 2^-149, and so is each
// exact sum, which is therefore itself a float there, whatever the rounding.
inline std::uint64_t Suspect(double sum) noexcept
{
    return (std::bit_cast<std::uint64_t>(sum) & 0x1FFFFFFFu) == 0x10000000u;
}

// Coordinates of samples j0 .. j0 + 7 of one sample row, whose weights start
// at `lanes` (entry q of sample j at lanes[q * padded + j]). Runs on any
// x86-64.
void ChunkCoordinatesPortable(const double* lanes, std::int32_t padded, std::int32_t j0, const double* tx,
                              const double* ty, Chunk& out) noexcept
{
    for (int l = 0; l < kWeightLanes; ++l) {
        out.x[l] = 0.0f;
        out.y[l] = 0.0f;
        out.suspect[l] = 0;
    }
    for (int q = 0; q < 16; ++q) {
        const double* w = lanes + static_cast<std::size_t>(q) * padded + j0;
        const double sx = tx[q];
        const double sy = ty[q];
        for (int l = 0; l < kWeightLanes; ++l) {
            const double weight = w[l];
            const double hx = static_cast<double>(out.x[l]) + sx * weight;
            const double hy = static_cast<double>(out.y[l]) + sy * weight;
            out.x[l] = static_cast<float>(hx);
            out.y[l] = static_cast<float>(hy);
            out.suspect[l] |= Suspect(hx) | Suspect(hy);
        }
    }
}

__attribute__((target("avx2"))) inline __m256i HalfwayLanes(__m256d sum, __m256i low, __m256i halfway) noexcept
{
    return _mm256_cmpeq_epi64(_mm256_and_si256(_mm256_castpd_si256(sum), low), halfway);
}

// Lanes where acc + term * weight lies halfway between two floats and the
// double sum is not exact.
__attribute__((target("avx2"))) inline __m256i InexactHalfwayLanes(__m128 acc, __m256d term, __m256d weight,
                                                                   __m256i low, __m256i halfway) noexcept
{
    const __m256d a = _mm256_cvtps_pd(acc);
    const __m256d product = _mm256_mul_pd(term, weight);
    const __m256d sum = _mm256_add_pd(a, product);
    const __m256d productVirtual = _mm256_sub_pd(sum, a);
    const __m256d accVirtual = _mm256_sub_pd(sum, productVirtual);
    const __m256d error = _mm256_add_pd(_mm256_sub_pd(a, accVirtual), _mm256_sub_pd(product, productVirtual));
    const __m256i inexact = _mm256_castpd_si256(_mm256_cmp_pd(error, _mm256_setzero_pd(), _CMP_NEQ_UQ));
    return _mm256_and_si256(inexact, HalfwayLanes(sum, low, halfway));
}

// The same with four lanes to a register, four registers side by side so
// that their chains of dependent additions overlap.
__attribute__((target("avx2"))) void ChunkCoordinatesAvx2(const double* lanes, std::int32_t padded, std::int32_t j0,
                                                          const double* tx, const double* ty, Chunk& out) noexcept
{
    constexpr int kGroups = kWeightLanes / 4;
    const __m256i low = _mm256_set1_epi64x(0x1FFFFFFF);
    const __m256i halfway = _mm256_set1_epi64x(0x10000000);
    __m128 x[kGroups];
    __m128 y[kGroups];
    __m256i suspect[kGroups];
#pragma GCC unroll 4
    for (int g = 0; g < kGroups; ++g) {
        x[g] = _mm_setzero_ps();
        y[g] = _mm_setzero_ps();
        suspect[g] = _mm256_setzero_si256();
    }
    for (int q = 0; q < 16; ++q) {
        const double* w = lanes + static_cast<std::size_t>(q) * padded + j0;
        const __m256d sx = _mm256_broadcast_sd(tx + q);
        const __m256d sy = _mm256_broadcast_sd(ty + q);
        __m256i anyHalfway = _mm256_setzero_si256();
        __m128 xBefore[kGroups];
        __m128 yBefore[kGroups];
#pragma GCC unroll 4
        for (int g = 0; g < kGroups; ++g) {
            xBefore[g] = x[g];
            yBefore[g] = y[g];
            const __m256d weight = _mm256_loadu_pd(w + 4 * g);
            const __m256d hx = _mm256_add_pd(_mm256_cvtps_pd(x[g]), _mm256_mul_pd(sx, weight));
            const __m256d hy = _mm256_add_pd(_mm256_cvtps_pd(y[g]), _mm256_mul_pd(sy, weight));
            x[g] = _mm256_cvtpd_ps(hx);
            y[g] = _mm256_cvtpd_ps(hy);
            anyHalfway = _mm256_or_si256(
                anyHalfway, _mm256_or_si256(HalfwayLanes(hx, low, halfway), HalfwayLanes(hy, low, halfway)));
        }
        // A halfway sum is rare; only then is it worth finding out whether
        // the sum was exact, doing the term again.
        if (!_mm256_testz_si256(anyHalfway, anyHalfway)) {
            for (int g = 0; g < kGroups; ++g) {
                const __m256d weight = _mm256_loadu_pd(w + 4 * g);
                suspect[g] = _mm256_or_si256(
                    suspect[g], _mm256_or_si256(InexactHalfwayLanes(xBefore[g], sx, weight, low, halfway),
                                                InexactHalfwayLanes(yBefore[g], sy, weight, low, halfway)));
            }
        }
    }
#pragma GCC unroll 4
    for (int g = 0; g < kGroups; ++g) {
        _mm_storeu_ps(out.x + 4 * g, x[g]);
        _mm_storeu_ps(out.y + 4 * g, y[g]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.suspect + 4 * g), suspect[g]);
    }
}

// The same with eight lanes to a register, two registers side by side. (The
// compiler's own intrinsic headers trip its uninitialised-value warnings
// here; the values they leave undefined are never read.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f"))) void ChunkCoordinatesAvx512(const double* lanes, std::int32_t padded,
                                                               std::int32_t j0, const double* tx, const double* ty,
                                                               Chunk& out) noexcept
{
    constexpr int kGroups = kWeightLanes / 8;
    const __m512i low = _mm512_set1_epi64(0x1FFFFFFF);
    const __m512i halfway = _mm512_set1_epi64(0x10000000);
    __m256 x[kGroups];
    __m256 y[kGroups];
    __mmask8 suspect[kGroups];
    for (int g = 0; g < kGroups; ++g) {
        x[g] = _mm256_setzero_ps();
        y[g] = _mm256_setzero_ps();
        suspect[g] = 0;
    }
    for (int q = 0; q < 16; ++q) {
        const double* w = lanes + static_cast<std::size_t>(q) * padded + j0;
        const __m512d sx = _mm512_set1_pd(tx[q]);
        const __m512d sy = _mm512_set1_pd(ty[q]);
        __m256 xBefore[kGroups];
        __m256 yBefore[kGroups];
        unsigned anyHalfway = 0;
        for (int g = 0; g < kGroups; ++g) {
            xBefore[g] = x[g];
            yBefore[g] = y[g];
            const __m512d weight = _mm512_loadu_pd(w + 8 * g);
            const __m512d hx = _mm512_add_pd(_mm512_cvtps_pd(x[g]), _mm512_mul_pd(sx, weight));
            const __m512d hy = _mm512_add_pd(_mm512_cvtps_pd(y[g]), _mm512_mul_pd(sy, weight));
            x[g] = _mm512_cvtpd_ps(hx);
            y[g] = _mm512_cvtpd_ps(hy);
            anyHalfway |= _mm512_cmpeq_epi64_mask(_mm512_and_si512(_mm512_castpd_si512(hx), low), halfway) |
                          _mm512_cmpeq_epi64_mask(_mm512_and_si512(_mm512_castpd_si512(hy), low), halfway);
        }
        // Rare: find out which halfway sums were not exact, doing the term
        // again with the two-sum error.
        if (anyHalfway != 0) {
            for (int g = 0; g < kGroups; ++g) {
                const __m512d weight = _mm512_loadu_pd(w + 8 * g);
                for (int axis = 0; axis < 2; ++axis) {
                    const __m512d a = _mm512_cvtps_pd(axis == 0 ? xBefore[g] : yBefore[g]);
                    const __m512d product = _mm512_mul_pd(axis == 0 ? sx : sy, weight);
                    const __m512d sum = _mm512_add_pd(a, product);
                    const __m512d productVirtual = _mm512_sub_pd(sum, a);
                    const __m512d accVirtual = _mm512_sub_pd(sum, productVirtual);
                    const __m512d error =
                        _mm512_add_pd(_mm512_sub_pd(a, accVirtual), _mm512_sub_pd(product, productVirtual));
                    const __mmask8 inexact = _mm512_cmp_pd_mask(error, _mm512_setzero_pd(), _CMP_NEQ_UQ);
                    suspect[g] |=
                        inexact & _mm512_cmpeq_epi64_mask(_mm512_and_si512(_mm512_castpd_si512(sum), low), halfway);
                }
            }
        }
    }
    for (int g = 0; g < kGroups; ++g) {
        _mm256_storeu_ps(out.x + 8 * g, x[g]);
        _mm256_storeu_ps(out.y + 8 * g, y[g]);
        for (int l = 0; l < 8; ++l) out.suspect[8 * g + l] = (suspect[g] >> l) & 1u;
    }
}
#pragma GCC diagnostic pop

// The rounding error of a double sum a + b = sum, exactly (Knuth's two-sum).
inline double SumError(double a, double b, double sum) noexcept
{
    const double bVirtual = sum - a;
    const double aVirtual = sum - bVirtual;
    return (a - aVirtual) + (b - bVirtual);
}

// One term of a suspect sample: the double sum where it is the literal's,
// else the sum in extended precision. A halfway sum that is exact rounds to
// float as the literal one does (ties to even, the same tie); only an
// inexact one may differ.
inline float RefinedTerm(float acc, double term, float weight) noexcept
{
    const double product = term * weight;
    const double sum = static_cast<double>(acc) + product;
    if (Suspect(sum) && SumError(acc, product, sum) != 0.0) return Store(Extended{acc} + Extended{term} * weight);
    return static_cast<float>(sum);
}

// A suspect sample again, term by term with the exact decision.
void RefineSample(const float* weights, const double* tx, const double* ty, float& x, float& y) noexcept
{
    x = 0.0f;
    y = 0.0f;
    for (int q = 0; q < 16; ++q) {
        x = RefinedTerm(x, tx[q], weights[q]);
        y = RefinedTerm(y, ty[q], weights[q]);
    }
}

using ChunkKernel = void (*)(const double*, std::int32_t, std::int32_t, const double*, const double*, Chunk&) noexcept;

ChunkKernel PickChunkKernel(FastKernel kind)
{
    if (kind == FastKernel::Best)
        kind = FastKernelAvailable(FastKernel::Avx512) ? FastKernel::Avx512
               : FastKernelAvailable(FastKernel::Avx2) ? FastKernel::Avx2
                                                       : FastKernel::Portable;
    if (!FastKernelAvailable(kind)) return ChunkCoordinatesPortable;
    switch (kind) {
    case FastKernel::Avx512: return ChunkCoordinatesAvx512;
    case FastKernel::Avx2: return ChunkCoordinatesAvx2;
    default: return ChunkCoordinatesPortable;
    }
}

// Gathers the cell's terms as doubles; false when one is too large for the
// products to be exact in double.
bool GatherExactTerms(const DeformModel& m, TCellRef cell, double* tx, double* ty)
{
    const CellTerms terms = GatherCellTerms(m, cell.Col, cell.Row);
    for (int q = 0; q < 16; ++q) {
        if (terms.X[q] <= -kExactTermLimit || terms.X[q] >= kExactTermLimit) return false;
        if (terms.Y[q] <= -kExactTermLimit || terms.Y[q] >= kExactTermLimit) return false;
        tx[q] = static_cast<double>(terms.X[q]);
        ty[q] = static_cast<double>(terms.Y[q]);
    }
    return true;
}

// Calls visit(i, j, x, y) for every sample of the cell in row-major order.
template <class Visit>
inline void ForEachSample(const DeformModel& m, const double* tx, const double* ty, ChunkKernel kernel, Visit&& visit)
{
    const std::int32_t n = m.SamplesPerCell;
    const std::int32_t padded = PaddedSampleCount(n);
    Chunk chunk;
    for (std::int32_t i = 0; i <= n; ++i) {
        const double* row = m.WeightLanes.data() + static_cast<std::size_t>(i) * 16 * padded;
        for (std::int32_t j0 = 0; j0 <= n; j0 += kWeightLanes) {
            kernel(row, padded, j0, tx, ty, chunk);
            const int count = std::min(kWeightLanes, n + 1 - j0);
            for (int l = 0; l < count; ++l) {
                float x = chunk.x[l];
                float y = chunk.y[l];
                if (chunk.suspect[l] != 0)
                    RefineSample(m.WeightTable.data() + 16 * (static_cast<std::size_t>(i) * (n + 1) + j0 + l), tx, ty,
                                 x, y);
                visit(i, j0 + l, x, y);
            }
        }
    }
}

[[maybe_unused]] bool TablesFit(const DeformModel& m)
{
    const std::size_t samples = static_cast<std::size_t>(m.SamplesPerCell) + 1;
    return m.SamplesPerCell >= 1 && m.WeightTable.size() == 16 * samples * samples &&
           m.WeightLanes.size() == 16 * samples * static_cast<std::size_t>(PaddedSampleCount(m.SamplesPerCell));
}

[[maybe_unused]] bool CellExists(const DeformModel& m, TCellRef cell)
{
    return cell.Col >= 0 && cell.Col < m.CellCols && cell.Row >= 0 && cell.Row < m.CellRows &&
           static_cast<std::size_t>(m.PointCols) * static_cast<std::size_t>(m.PointRows) == m.ControlPoints.size();
}

} // namespace

bool FastKernelAvailable(FastKernel kind)
{
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    switch (kind) {
    case FastKernel::Avx512: return avx512;
    case FastKernel::Avx2: return avx2;
    default: return true;
    }
}

void CellCoordinatesFast(const DeformModel& m, TCellRef cell, float* xs, float* ys, FastKernel kind)
{
    double tx[16];
    double ty[16];
    if (!GatherExactTerms(m, cell, tx, ty)) {
        CellCoordinatesLiteral(m, cell, xs, ys);
        return;
    }
    const std::size_t stride = static_cast<std::size_t>(m.SamplesPerCell) + 1;
    ForEachSample(m, tx, ty, PickChunkKernel(kind), [&](std::int32_t i, std::int32_t j, float x, float y) {
        xs[i * stride + j] = x;
        ys[i * stride + j] = y;
    });
}

void DeformCell(DeformModel& m, TCellRef cell, FastKernel kind)
{
    assert(CellExists(m, cell) && TablesFit(m));
    assert(!m.WorkImage.empty() && !m.SourceImage.empty() && !m.SplatMask.empty());
    double tx[16];
    double ty[16];
    if (!GatherExactTerms(m, cell, tx, ty)) {
        DeformCellLiteral(m, cell);
        return;
    }
    const SplatTarget target{m.WorkImage.data(), m.SplatMask.data(), m.SourceImage.data(), m.PixelCapacity,
                             m.ImageWidth};
    const TControlPoint& o = m.Point(cell.Col, cell.Row);
    const std::int64_t originX = o.X;
    const std::int64_t originY = o.Y;
    const std::int64_t width = m.ImageWidth;
    ForEachSample(m, tx, ty, PickChunkKernel(kind), [&](std::int32_t i, std::int32_t j, float x, float y) {
        std::int64_t xd;
        std::int64_t yd;
        if (!TruncateCoordinate(x, xd) || !TruncateCoordinate(y, yd)) return;
        SplatSample(target, xd, yd, (originY + i) * width + originX + j);
    });
}

void DeformCell(DeformModel& m, TCellRef cell)
{
    DeformCell(m, cell, FastKernel::Best);
}

} // namespace plexor
