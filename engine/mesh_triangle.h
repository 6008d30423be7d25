#pragma once

#include <cstdint>

#include "engine/pixel_rect.h"

namespace plexor {

// Source positions are fixed point with kSourceFractionBits fractional bits,
// in the picture's own coordinates: pixel u covers [u, u + 1), its centre is
// u + 1/2.
inline constexpr int kSourceFractionBits = 16;
inline constexpr std::int64_t kSourceUnit = std::int64_t{1} << kSourceFractionBits;
inline constexpr std::int32_t kMaxSubsamples = 8; // per axis, for a footprint of 8 pixels or more

// A point of a cell's mesh: where it lands (x, y) and where it lies at rest
// (u, v), both in mesh units relative to the cell's top-left point at rest.
struct MeshPoint {
    std::int64_t x, y;
    std::int64_t u, v;
};

// One edge of a triangle as a linear function of the pixel: a pixel centre
// lies on the triangle's side of it where value + across * (column -
// firstColumn) + down * (row - firstRow) >= 0. Points on the edge itself
// count for a top or left edge only, so that two triangles that share an
// edge share none of its pixels and leave none out.
struct TriangleEdge {
    std::int64_t value, across, down;
};

// A triangle of a cell's mesh, set up to be filled: the pixels whose centres
// it covers, and for each the source position that the triangle's affine
// map from destination to rest gives it. Pixel coordinates are relative to
// the cell's top-left point at rest.
struct MeshTriangle {
    std::int32_t firstColumn, endColumn; // the pixels [first, end) that may be covered, within the clip
    std::int32_t firstRow, endRow;
    TriangleEdge edges[3];
    // The source position of pixel (refColumn, refRow), and how much it
    // moves per pixel across and down, in source units; the reference is
    // the corner of the triangle's bounds, whatever the clip.
    std::int32_t refColumn, refRow;
    std::int64_t baseU, baseV;
    std::int64_t uAcross, uDown, vAcross, vDown;
    // Sub-samples per axis of each pixel (1, 2, 4 or 8), and the footprint
    // of one sub-sample along the source's x and y, in 16ths of a pixel
    // (0 to 16).
    std::int32_t subsamples;
    std::int32_t levelU, levelV;
};

// Sets up the triangle through a, b and c (in either turn) for the pixels of
// `clip`, with the source at `originU`, `originV` (source units) for the
// cell's top-left point at rest. False when it covers no pixel centre there.
bool setUpMeshTriangle(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, const PixelRect& clip,
                       std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept;

// The pixels [first, end) of row `row` whose centres the triangle covers;
// false when there are none.
bool triangleRowSpan(const MeshTriangle& t, std::int32_t row, std::int32_t& first, std::int32_t& end) noexcept;

} // namespace plexor
