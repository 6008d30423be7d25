#include "engine/smooth_cell.h"

#include <algorithm>

#include "engine/mesh_triangle.h"
#include "engine/opaque_run.h"
#include "engine/smooth_cell_internal.h"
#include "engine/smooth_mesh.h"
#include "engine/smooth_sampler.h"

namespace plexor {
namespace {

PixelRect gridRect(const GridGeometry& g, std::int32_t width, std::int32_t height) noexcept
{
    return PixelRect{g.marginX, g.marginY, g.right(), g.bottom()}.intersection(PixelRect{0, 0, width, height});
}

// What one call renders with: the planes, the clip relative to the cell's
// corner, where that corner is, and the kernel for the runs of an opaque
// 8-bit picture whose taps lie inside it.
struct CellTarget {
    const SmoothPlanes& planes;
    PixelRect clip;
    std::int32_t originX, originY;
    OpaqueRunKernel opaqueRun;
};

// Whether every tap of every sub-sample of the triangle lies inside the
// picture, with room after each row's first tap for a 16-byte read.
bool tapsInside(const MeshTriangle& t, const SmoothPlanes& p) noexcept
{
    if (t.heldMap) return false;
    const auto first = [](std::int64_t position) {
        return ((position - kPhaseOffset) >> kPhaseDrop >> kPhaseBits) - 1;
    };
    return first(t.lowU) >= 0 && first(t.highU) + 6 <= p.width && first(t.lowV) >= 0 && first(t.highV) + 4 <= p.height;
}

template <class Format, bool kLiteral>
void fillTriangle(const CellTarget& target, const MeshTriangle& t) noexcept
{
    const SmoothPlanes& p = target.planes;
    SubsampleLayout layout;
    layOutSubsamples(t, layout);
    const auto position = [&](std::int32_t column, std::int32_t row, std::int64_t& u, std::int64_t& v) {
        u = t.baseU + std::int64_t{column - t.refColumn} * t.uAcross + std::int64_t{row - t.refRow} * t.uDown;
        v = t.baseV + std::int64_t{column - t.refColumn} * t.vAcross + std::int64_t{row - t.refRow} * t.vDown;
    };
    const auto rowStart = [&](std::int32_t row) {
        return std::int64_t{target.originY + row} * p.width + target.originX;
    };
    if constexpr (kLiteral) {
        for (std::int32_t row = t.firstRow; row < t.endRow; ++row) {
            std::int32_t first, end;
            if (!triangleRowSpan(t, row, first, end)) continue;
            std::int64_t u, v;
            position(first, row, u, v);
            shadeRun<Format, true>(p, layout, rowStart(row) + first, end - first, u, v, t.uAcross, t.vAcross);
        }
        return;
    }
    TriangleRowWalk walk(t);
    // Each row's first pixel is sampled at rowU + first * uAcross.
    const std::int32_t firstRow = walk.firstRow(), endRow = walk.endRow();
    std::int64_t rowU = t.baseU + std::int64_t{firstRow - t.refRow} * t.uDown - std::int64_t{t.refColumn} * t.uAcross;
    std::int64_t rowV = t.baseV + std::int64_t{firstRow - t.refRow} * t.vDown - std::int64_t{t.refColumn} * t.vAcross;
    std::int64_t rowAt = rowStart(firstRow);
    constexpr bool kOpaqueBytes = !Format::kDeep && !Format::kAlpha;
    if (kOpaqueBytes && tapsInside(t, p)) {
        // The runs gathered first, then shaded together.
        OpaqueRuns runs;
        runs.source = p.source, runs.work = p.work, runs.width = p.width, runs.layout = &layout;
        runs.uAcross = t.uAcross, runs.vAcross = t.vAcross, runs.runs = 0;
        for (std::int32_t row = firstRow; row < endRow;
             ++row, walk.next(), rowU += t.uDown, rowV += t.vDown, rowAt += p.width) {
            std::int32_t first, end;
            if (!walk.span(first, end)) continue;
            const std::int32_t i = runs.runs++;
            runs.count[i] = end - first;
            runs.at[i] = rowAt + first;
            runs.u[i] = rowU + std::int64_t{first} * t.uAcross;
            runs.v[i] = rowV + std::int64_t{first} * t.vAcross;
            if (runs.runs == kMaxOpaqueRuns) {
                target.opaqueRun(runs);
                runs.runs = 0;
            }
        }
        if (runs.runs > 0) target.opaqueRun(runs);
        return;
    }
    const bool inside = tapsInside(t, p);
    for (std::int32_t row = firstRow; row < endRow;
         ++row, walk.next(), rowU += t.uDown, rowV += t.vDown, rowAt += p.width) {
        std::int32_t first, end;
        if (!walk.span(first, end)) continue;
        const std::int64_t u = rowU + std::int64_t{first} * t.uAcross, v = rowV + std::int64_t{first} * t.vAcross;
        if (inside)
            shadeRun<Format, false>(p, layout, rowAt + first, end - first, u, v, t.uAcross, t.vAcross);
        else
            shadeRun<Format, true>(p, layout, rowAt + first, end - first, u, v, t.uAcross, t.vAcross);
    }
}

template <class Format, bool kLiteral>
void renderMesh(const CellTarget& target, const SmoothMesh& mesh) noexcept
{
    const std::int64_t originU = std::int64_t{target.originX} * kSourceUnit;
    const std::int64_t originV = std::int64_t{target.originY} * kSourceUnit;
    const std::int32_t m = mesh.quads;
    const auto point = [&](std::int32_t a, std::int32_t b) {
        return MeshPoint{mesh.x[b][a], mesh.y[b][a], mesh.rest[a], mesh.rest[b]};
    };
    const auto fill = [&](const MeshPoint& a, const MeshPoint& b, const MeshPoint& c) {
        MeshTriangle t;
        const bool covers = kLiteral ? setUpMeshTriangleLiteral(a, b, c, target.clip, originU, originV, t)
                                     : setUpMeshTriangle(a, b, c, target.clip, originU, originV, t);
        if (covers) fillTriangle<Format, kLiteral>(target, t);
    };
    // Row by row, later sub-quads over earlier ones where the cell folds.
    for (std::int32_t b = 0; b < m; ++b)
        for (std::int32_t a = 0; a < m; ++a) {
            const MeshPoint p00 = point(a, b), p10 = point(a + 1, b), p01 = point(a, b + 1), p11 = point(a + 1, b + 1);
            fill(p00, p10, p11);
            fill(p00, p11, p01);
        }
}

template <bool kDeep, bool kLiteral>
void renderAnyAlpha(const CellTarget& target, const SmoothMesh& mesh) noexcept
{
    if (target.planes.sourceAlpha == nullptr)
        renderMesh<SmoothFormat<kDeep, 0>, kLiteral>(target, mesh);
    else if (target.planes.sourceAlphaLow == nullptr)
        renderMesh<SmoothFormat<kDeep, 8>, kLiteral>(target, mesh);
    else
        renderMesh<SmoothFormat<kDeep, 16>, kLiteral>(target, mesh);
}

template <bool kLiteral>
void renderAnyFormat(const CellTarget& target, const SmoothMesh& mesh) noexcept
{
    if (target.planes.sourceLow == nullptr)
        renderAnyAlpha<false, kLiteral>(target, mesh);
    else
        renderAnyAlpha<true, kLiteral>(target, mesh);
}

OpaqueRunKernel pickOpaqueRun(SmoothKernel kind) noexcept
{
    static const OpaqueRunKernel kBest =
        smoothKernelAvailable(SmoothKernel::Avx2) ? shadeOpaqueRunsAvx2 : shadeOpaqueRunsPortable;
    if (kind == SmoothKernel::Best) return kBest;
    if (kind == SmoothKernel::Avx2 && smoothKernelAvailable(kind)) return shadeOpaqueRunsAvx2;
    return shadeOpaqueRunsPortable;
}

} // namespace

bool smoothKernelAvailable(SmoothKernel kind) noexcept
{
    static const bool kAvx2 = __builtin_cpu_supports("avx2");
    return kind != SmoothKernel::Avx2 || kAvx2;
}

PixelRect smoothCellReach(const GridGeometry& g, CellRef cell, const CellTerms& terms, std::int32_t width,
                          std::int32_t height) noexcept
{
    // The B-spline's weights are never negative and sum to 1, so every
    // displacement lies between the least and the greatest of the terms'.
    const CellTerms rest = restTerms(g, cell, width, height);
    std::int64_t loX = kMeshReach, hiX = -kMeshReach, loY = kMeshReach, hiY = -kMeshReach;
    for (int q = 0; q < 16; ++q) {
        const std::int64_t dx = termDisplacement(terms.x[q], rest.x[q]);
        const std::int64_t dy = termDisplacement(terms.y[q], rest.y[q]);
        loX = std::min(loX, dx), hiX = std::max(hiX, dx);
        loY = std::min(loY, dy), hiY = std::max(hiY, dy);
    }
    const std::int64_t ox = g.marginX + std::int64_t{cell.col} * g.step;
    const std::int64_t oy = g.marginY + std::int64_t{cell.row} * g.step;
    const PixelRect within = gridRect(g, width, height);
    const auto clampX = [&](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, within.x0, within.x1));
    };
    const auto clampY = [&](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, within.y0, within.y1));
    };
    const PixelRect r{clampX(ox + loX - 1), clampY(oy + loY - 1), clampX(ox + g.step + hiX + 1),
                      clampY(oy + g.step + hiY + 1)};
    return r.empty() ? PixelRect{} : r;
}

void smoothCell(const SmoothPlanes& p, const GridGeometry& g, CellRef cell, const CellTerms& terms,
                const PixelRect& band, SmoothKernel kind) noexcept
{
    if (p.width <= 0 || p.height <= 0 || g.step <= 0) return;
    const PixelRect clip = band.intersection(smoothCellReach(g, cell, terms, p.width, p.height));
    if (clip.empty()) return;
    SmoothMesh mesh;
    buildSmoothMesh(g, cell, terms, p.width, p.height, mesh);
    const std::int32_t ox = g.marginX + cell.col * g.step;
    const std::int32_t oy = g.marginY + cell.row * g.step;
    const CellTarget target{p, PixelRect{clip.x0 - ox, clip.y0 - oy, clip.x1 - ox, clip.y1 - oy}, ox, oy,
                            pickOpaqueRun(kind)};
    if (kind == SmoothKernel::Literal)
        renderAnyFormat<true>(target, mesh);
    else
        renderAnyFormat<false>(target, mesh);
}

void smoothCell(const SmoothPlanes& p, const GridGeometry& g, CellRef cell, const CellTerms& terms,
                const PixelRect& band) noexcept
{
    smoothCell(p, g, cell, terms, band, SmoothKernel::Best);
}

} // namespace plexor
