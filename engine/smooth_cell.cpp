#include "engine/smooth_cell.h"

#include <algorithm>

#include "engine/mesh_triangle.h"
#include "engine/smooth_mesh.h"
#include "engine/smooth_sampler.h"

namespace plexor {
namespace {

PixelRect gridRect(const GridGeometry& g, std::int32_t width, std::int32_t height) noexcept
{
    return PixelRect{g.marginX, g.marginY, g.right(), g.bottom()}.intersection(PixelRect{0, 0, width, height});
}

template <class Format>
void fillTriangle(const SmoothPlanes& p, const MeshTriangle& t, std::int32_t originX, std::int32_t originY) noexcept
{
    SubsampleLayout layout;
    layOutSubsamples(t, layout);
    for (std::int32_t row = t.firstRow; row < t.endRow; ++row) {
        std::int32_t first, end;
        if (!triangleRowSpan(t, row, first, end)) continue;
        std::int64_t u =
            t.baseU + std::int64_t{first - t.refColumn} * t.uAcross + std::int64_t{row - t.refRow} * t.uDown;
        std::int64_t v =
            t.baseV + std::int64_t{first - t.refColumn} * t.vAcross + std::int64_t{row - t.refRow} * t.vDown;
        const std::int64_t rowStart = std::int64_t{originY + row} * p.width + originX;
        for (std::int32_t x = first; x < end; ++x, u += t.uAcross, v += t.vAcross) {
            PixelSums<Format> sums;
            for (std::int32_t s = 0; s < layout.count; ++s)
                addSubsample(p, layout, u + layout.offsetU[s], v + layout.offsetV[s], sums);
            writePixel(p, rowStart + x, layout.shift, sums);
        }
    }
}

template <class Format>
void renderMesh(const SmoothPlanes& p, const SmoothMesh& mesh, const PixelRect& clip, std::int32_t originX,
                std::int32_t originY) noexcept
{
    const std::int64_t originU = std::int64_t{originX} * kSourceUnit;
    const std::int64_t originV = std::int64_t{originY} * kSourceUnit;
    const std::int32_t m = mesh.quads;
    const auto point = [&](std::int32_t a, std::int32_t b) {
        return MeshPoint{mesh.x[b][a], mesh.y[b][a], mesh.rest[a], mesh.rest[b]};
    };
    for (std::int32_t b = 0; b < m; ++b)
        for (std::int32_t a = 0; a < m; ++a) {
            const MeshPoint p00 = point(a, b), p10 = point(a + 1, b), p01 = point(a, b + 1), p11 = point(a + 1, b + 1);
            MeshTriangle t;
            if (setUpMeshTriangle(p00, p10, p11, clip, originU, originV, t))
                fillTriangle<Format>(p, t, originX, originY);
            if (setUpMeshTriangle(p00, p11, p01, clip, originU, originV, t))
                fillTriangle<Format>(p, t, originX, originY);
        }
}

template <bool kDeep>
void renderMeshAnyAlpha(const SmoothPlanes& p, const SmoothMesh& mesh, const PixelRect& clip, std::int32_t originX,
                        std::int32_t originY) noexcept
{
    if (p.sourceAlpha == nullptr)
        renderMesh<SmoothFormat<kDeep, 0>>(p, mesh, clip, originX, originY);
    else if (p.sourceAlphaLow == nullptr)
        renderMesh<SmoothFormat<kDeep, 8>>(p, mesh, clip, originX, originY);
    else
        renderMesh<SmoothFormat<kDeep, 16>>(p, mesh, clip, originX, originY);
}

} // namespace

PixelRect smoothCellReach(const GridGeometry& g, CellRef cell, const CellTerms& terms, std::int32_t width,
                          std::int32_t height) noexcept
{
    // The B-spline's weights are never negative and sum to 1, so every
    // displacement lies between the least and the greatest of the terms'.
    const CellTerms rest = restTerms(g, cell, width, height);
    constexpr std::int64_t kLimit = kMeshReach;
    std::int64_t loX = kLimit, hiX = -kLimit, loY = kLimit, hiY = -kLimit;
    for (int q = 0; q < 16; ++q) {
        const std::int64_t dx = std::clamp(terms.x[q], -kLimit, kLimit) - rest.x[q];
        const std::int64_t dy = std::clamp(terms.y[q], -kLimit, kLimit) - rest.y[q];
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
                const PixelRect& band) noexcept
{
    if (p.width <= 0 || p.height <= 0 || g.step <= 0) return;
    const PixelRect clip = band.intersection(smoothCellReach(g, cell, terms, p.width, p.height));
    if (clip.empty()) return;
    SmoothMesh mesh;
    buildSmoothMesh(g, cell, terms, p.width, p.height, mesh);
    const std::int32_t ox = g.marginX + cell.col * g.step;
    const std::int32_t oy = g.marginY + cell.row * g.step;
    const PixelRect relative{clip.x0 - ox, clip.y0 - oy, clip.x1 - ox, clip.y1 - oy};
    if (p.sourceLow == nullptr)
        renderMeshAnyAlpha<false>(p, mesh, relative, ox, oy);
    else
        renderMeshAnyAlpha<true>(p, mesh, relative, ox, oy);
}

} // namespace plexor
