#pragma once

#include <cstdint>

#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_geometry.h"

namespace plexor {

// Positions on the destination side are fixed point with kMeshFractionBits
// fractional bits, relative to the cell's top-left point at rest.
inline constexpr int kMeshFractionBits = 8;
inline constexpr std::int64_t kMeshUnit = std::int64_t{1} << kMeshFractionBits;

// A cell cut into quads x quads sub-quads: the deformation evaluated at the
// corners of a regular lattice over the cell at rest. A sub-quad is a few
// pixels on a side; a cell is cut into at most kMaxMeshQuads across.
inline constexpr std::int32_t kMeshQuadSide = 6;
inline constexpr std::int32_t kMaxMeshQuads = 16;

// How many sub-quads across a cell of the grid's step takes: the same for
// every cell of a grid, so that neighbouring cells cut their common edge at
// the same points.
std::int32_t meshQuadsFor(std::int32_t step) noexcept;

struct SmoothMesh {
    std::int32_t quads = 0;
    // Lattice line a at rest, for both axes: round(step * a / quads) in mesh
    // units, from 0 to step * kMeshUnit.
    std::int64_t rest[kMaxMeshQuads + 1];
    // Where lattice point (a, b) lands: x[b][a], y[b][a], in mesh units
    // relative to the cell's top-left point at rest.
    std::int64_t x[kMaxMeshQuads + 1][kMaxMeshQuads + 1];
    std::int64_t y[kMaxMeshQuads + 1][kMaxMeshQuads + 1];
};

// Fills `mesh` for cell `cell` of `grid` over a width x height picture with
// the cell's 16 terms (gatherCellTerms's layout). A lattice point at t =
// (a, b) / quads of the cell lands at its rest position plus the B-spline
// of the displacements, each term less the term the cell would have at
// rest, rounded to mesh units. On the cell's edges the sums that two cells
// share are formed from the same products in the same order, so that both
// land their common points on the same bits. Displacements are held to
// kMeshReach pixels, far beyond any drag, so that no sum overflows.
inline constexpr std::int64_t kMeshReach = std::int64_t{1} << 20;
void buildSmoothMesh(const GridGeometry& grid, CellRef cell, const CellTerms& terms, std::int32_t width,
                     std::int32_t height, SmoothMesh& mesh) noexcept;

// A term's displacement from its rest term, held to +-kMeshReach pixels.
inline std::int64_t termDisplacement(std::int64_t term, std::int64_t rest) noexcept
{
    // Terms beyond any picture are first held to a distance that cannot
    // overflow.
    constexpr std::int64_t kTermLimit = std::int64_t{1} << 40;
    const std::int64_t d = (term < -kTermLimit ? -kTermLimit : term > kTermLimit ? kTermLimit : term) - rest;
    return d < -kMeshReach ? -kMeshReach : d > kMeshReach ? kMeshReach : d;
}

// The terms cell `cell` would have with every displacement zero.
CellTerms restTerms(const GridGeometry& grid, CellRef cell, std::int32_t width, std::int32_t height) noexcept;

} // namespace plexor
