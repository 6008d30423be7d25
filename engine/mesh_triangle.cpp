#include "engine/mesh_triangle.h"

#include <algorithm>
#include <cmath>

#include "engine/resampling_weights.h"
#include "engine/smooth_mesh.h"

namespace plexor {
namespace {

// Products of two mesh differences and a scale need more than 64 bits.
__extension__ typedef __int128 Wide;

constexpr std::int64_t kHalfPixel = kMeshUnit / 2;
// A source step per pixel beyond this (16384 pixels) counts as this, so that
// its square fits.
constexpr std::int64_t kStepLimit = std::int64_t{1} << 30;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) noexcept // b > 0
{
    const std::int64_t q = a / b;
    return q - (a % b != 0 && a < 0);
}

Wide floorDivWide(Wide a, Wide b) noexcept // b > 0
{
    const Wide q = a / b;
    return q - (a % b != 0 && a < 0);
}

// a / b rounded to the nearest, halves up; b > 0.
std::int64_t roundDiv(Wide a, Wide b) noexcept
{
    return static_cast<std::int64_t>(floorDivWide(2 * a + b, 2 * b));
}

// The largest r with r * r <= v.
std::int64_t floorSqrt(std::int64_t v) noexcept
{
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(v)));
    while (r > 0 && r * r > v) --r;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

// The first pixel whose centre lies at or past mesh position p.
std::int64_t firstCentreAtOrAfter(std::int64_t p) noexcept
{
    return -floorDiv(-(p - kHalfPixel), kMeshUnit);
}

// The last pixel whose centre lies at or before mesh position p.
std::int64_t lastCentreAtOrBefore(std::int64_t p) noexcept
{
    return floorDiv(p - kHalfPixel, kMeshUnit);
}

} // namespace

bool setUpMeshTriangle(const MeshPoint& a, const MeshPoint& b0, const MeshPoint& c0, const PixelRect& clip,
                       std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept
{
    const std::int64_t e1x = b0.x - a.x, e1y = b0.y - a.y;
    const std::int64_t e2x = c0.x - a.x, e2y = c0.y - a.y;
    const std::int64_t turn = e1x * e2y - e1y * e2x;
    if (turn == 0) return false;
    // Turned the other way (folded over), the triangle is filled all the
    // same, with its last two corners swapped.
    const bool flipped = turn < 0;
    const MeshPoint& b = flipped ? c0 : b0;
    const MeshPoint& c = flipped ? b0 : c0;
    const std::int64_t det = flipped ? -turn : turn;

    const std::int64_t minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    const std::int64_t minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    const std::int64_t boundFirstX = firstCentreAtOrAfter(minX), boundLastX = lastCentreAtOrBefore(maxX);
    const std::int64_t boundFirstY = firstCentreAtOrAfter(minY), boundLastY = lastCentreAtOrBefore(maxY);
    const std::int64_t firstX = std::max<std::int64_t>(boundFirstX, clip.x0);
    const std::int64_t endX = std::min<std::int64_t>(boundLastX + 1, clip.x1);
    const std::int64_t firstY = std::max<std::int64_t>(boundFirstY, clip.y0);
    const std::int64_t endY = std::min<std::int64_t>(boundLastY + 1, clip.y1);
    if (firstX >= endX || firstY >= endY) return false;
    t.firstColumn = static_cast<std::int32_t>(firstX);
    t.endColumn = static_cast<std::int32_t>(endX);
    t.firstRow = static_cast<std::int32_t>(firstY);
    t.endRow = static_cast<std::int32_t>(endY);

    // The centre of the first pixel, in mesh units.
    const std::int64_t cx = firstX * kMeshUnit + kHalfPixel;
    const std::int64_t cy = firstY * kMeshUnit + kHalfPixel;
    const MeshPoint* corners[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        const MeshPoint& from = *corners[i];
        const MeshPoint& to = *corners[(i + 1) % 3];
        const std::int64_t dx = to.x - from.x, dy = to.y - from.y;
        const bool topOrLeft = dy < 0 || (dy == 0 && dx > 0);
        t.edges[i].value = dx * (cy - from.y) - dy * (cx - from.x) - (topOrLeft ? 0 : 1);
        t.edges[i].across = -dy * kMeshUnit;
        t.edges[i].down = dx * kMeshUnit;
    }

    // The affine map from destination to rest: a destination offset d from
    // a lands at rest offset (f1 * cross(d, e2) + f2 * cross(e1, d)) / det.
    const std::int64_t d1x = b.x - a.x, d1y = b.y - a.y, d2x = c.x - a.x, d2y = c.y - a.y;
    const std::int64_t f1u = b.u - a.u, f1v = b.v - a.v, f2u = c.u - a.u, f2v = c.v - a.v;
    const Wide uPerX = Wide{f1u} * d2y - Wide{f2u} * d1y;
    const Wide uPerY = Wide{f2u} * d1x - Wide{f1u} * d2x;
    const Wide vPerX = Wide{f1v} * d2y - Wide{f2v} * d1y;
    const Wide vPerY = Wide{f2v} * d1x - Wide{f1v} * d2x;
    // Mesh units to source units, and a pixel's worth of mesh units.
    constexpr Wide kScale = kSourceUnit / kMeshUnit;
    constexpr Wide kPixel = kScale * kMeshUnit;
    t.uAcross = roundDiv(uPerX * kPixel, det);
    t.uDown = roundDiv(uPerY * kPixel, det);
    t.vAcross = roundDiv(vPerX * kPixel, det);
    t.vDown = roundDiv(vPerY * kPixel, det);
    t.refColumn = static_cast<std::int32_t>(boundFirstX);
    t.refRow = static_cast<std::int32_t>(boundFirstY);
    const std::int64_t rx = boundFirstX * kMeshUnit + kHalfPixel - a.x;
    const std::int64_t ry = boundFirstY * kMeshUnit + kHalfPixel - a.y;
    t.baseU = originU + a.u * kScale + roundDiv((uPerX * rx + uPerY * ry) * kScale, det);
    t.baseV = originV + a.v * kScale + roundDiv((vPerX * rx + vPerY * ry) * kScale, det);

    // The footprint of a pixel along each source axis: the length of the
    // source's steps for a pixel across and down together, which a box of
    // that width matches in spread.
    const auto held = [](std::int64_t v) { return std::clamp(v, -kStepLimit, kStepLimit); };
    const std::int64_t spanU = floorSqrt(held(t.uAcross) * held(t.uAcross) + held(t.uDown) * held(t.uDown));
    const std::int64_t spanV = floorSqrt(held(t.vAcross) * held(t.vAcross) + held(t.vDown) * held(t.vDown));
    const std::int64_t span = std::max(spanU, spanV);
    std::int32_t n = 1;
    while (n < kMaxSubsamples && span > n * kSourceUnit) n *= 2;
    t.subsamples = n;
    const auto level = [n](std::int64_t s) {
        const std::int64_t l = (s * kFootprintLevels + n * kSourceUnit / 2) / (n * kSourceUnit);
        return static_cast<std::int32_t>(std::min<std::int64_t>(l, kFootprintLevels));
    };
    t.levelU = level(spanU);
    t.levelV = level(spanV);
    return true;
}

bool triangleRowSpan(const MeshTriangle& t, std::int32_t row, std::int32_t& first, std::int32_t& end) noexcept
{
    std::int64_t lo = t.firstColumn;
    std::int64_t hi = t.endColumn; // one past
    const std::int64_t dr = row - t.firstRow;
    for (const TriangleEdge& e : t.edges) {
        const std::int64_t v = e.value + e.down * dr;
        if (e.across > 0) {
            lo = std::max(lo, t.firstColumn - floorDiv(v, e.across));
        } else if (e.across < 0) {
            hi = std::min(hi, t.firstColumn + floorDiv(v, -e.across) + 1);
        } else if (v < 0) {
            return false;
        }
    }
    if (lo >= hi) return false;
    first = static_cast<std::int32_t>(lo);
    end = static_cast<std::int32_t>(hi);
    return true;
}

} // namespace plexor
