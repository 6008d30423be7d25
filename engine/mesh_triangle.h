#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/pixel_rect.h"
#include "engine/subsample_layout.h"

namespace plexor {

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
    // (0 to kFootprintLevels).
    std::int32_t subsamples;
    std::int32_t levelU, levelV;
    // Bounds on the source positions of every sub-sample of every pixel the
    // triangle covers, in source units; they hold only if the map was not
    // held to the limits of its steps and positions (a sliver of a triangle
    // at an edge of a fold, stretched beyond any picture).
    std::int64_t lowU, highU, lowV, highV;
    bool heldMap;
};

// Sets up the triangle through a, b and c (in either turn) for the pixels of
// `clip`, with the source at `originU`, `originV` (source units) for the
// cell's top-left point at rest. False when it covers no pixel centre there.
// Its quotients are the exactly rounded ones, found in 64 bits where the
// triangle is small enough, else in 128.
bool setUpMeshTriangle(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, const PixelRect& clip,
                       std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept;
// The same in the plain, literal form: every quotient in 128 bits.
bool setUpMeshTriangleLiteral(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, const PixelRect& clip,
                              std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept;

// The pixels [first, end) of row `row` whose centres the triangle covers;
// false when there are none. The plain form, a division per edge.
bool triangleRowSpan(const MeshTriangle& t, std::int32_t row, std::int32_t& first, std::int32_t& end) noexcept;

// The same spans, row after row from the first, by additions alone: each
// edge's bound is a quotient whose remainder is carried from row to row,
// without a branch. An edge across the rows (flat) bounds the rows instead.
class TriangleRowWalk {
public:
    explicit TriangleRowWalk(const MeshTriangle& t) noexcept;
    // The rows [firstRow, endRow) that may hold pixels; the walk starts at
    // the first.
    std::int32_t firstRow() const noexcept { return firstRow_; }
    std::int32_t endRow() const noexcept { return endRow_; }
    // The span of the present row (false when empty); then the next row.
    bool span(std::int32_t& first, std::int32_t& end) const noexcept
    {
        const std::int64_t lo = std::max({firstColumn_, lower_[0].quotient, lower_[1].quotient});
        const std::int64_t hi = std::min({endColumn_, upper_[0].quotient, upper_[1].quotient});
        first = static_cast<std::int32_t>(lo);
        end = static_cast<std::int32_t>(hi);
        return lo < hi;
    }
    void next() noexcept
    {
        for (Bound& b : lower_) b.step();
        for (Bound& b : upper_) b.step();
    }

private:
    // A bound on the columns that moves by quotientStep + remainderStep /
    // divisor a row. An unused one stays far beyond any column, where it
    // cannot bind.
    static constexpr std::int64_t kUnbound = std::int64_t{1} << 40;
    struct Bound {
        std::int64_t quotient = 0, remainder = 0;
        std::int64_t quotientStep = 0, remainderStep = 0, divisor = 1;
        void step() noexcept
        {
            remainder += remainderStep;
            const std::int64_t carry = remainder >= divisor;
            quotient += quotientStep + carry;
            remainder -= divisor & -carry;
        }
    };
    Bound lower_[2] = {{-kUnbound}, {-kUnbound}}; // the first column is at least each quotient
    Bound upper_[2] = {{kUnbound}, {kUnbound}};   // the end column is at most each quotient
    std::int64_t firstColumn_, endColumn_;
    std::int32_t firstRow_, endRow_;
};

} // namespace plexor
