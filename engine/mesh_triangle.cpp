#include "engine/mesh_triangle.h"

#include <cmath>

#include "engine/resampling_weights.h"
#include "engine/smooth_mesh.h"

namespace plexor {
namespace {

// Products of two mesh differences and a scale may need more than 64 bits.
__extension__ typedef __int128 Wide;

constexpr std::int64_t kHalfPixel = kMeshUnit / 2;
// Mesh units to source units, and a pixel's worth of source units.
constexpr std::int64_t kScale = kSourceUnit / kMeshUnit;
constexpr std::int64_t kPixel = kSourceUnit;
// A source step per pixel beyond this (16384 pixels) counts as this, so that
// its square fits; a source position beyond the other, as that.
constexpr std::int64_t kStepLimit = std::int64_t{1} << 30;
constexpr std::int64_t kPositionLimit = std::int64_t{1} << 52;
// The widest footprint one sample's filter takes, in source units.
constexpr std::int64_t kMaxFootprint = kSourceUnit * kFootprintLevels / kLevelsPerPixel;
// A triangle whose corners lie within this many mesh units of each other,
// at rest and landed (256 pixels), has every product of its set-up within
// 64 bits.
constexpr std::int64_t kSmallExtent = std::int64_t{1} << 16;

template <class T>
T floorDiv(T a, T b) noexcept // b > 0
{
    const T q = a / b;
    return q - (a % b != 0 && a < 0);
}

// a / b rounded to the nearest, halves up, and held to +-limit; b > 0.
// Clears `exact` when it had to be held.
template <class T>
std::int64_t roundDiv(T a, T b, std::int64_t limit, bool& exact) noexcept
{
    const T q = floorDiv<T>(2 * a + b, 2 * b);
    if (q < -limit || q > limit) {
        exact = false;
        return q < 0 ? -limit : limit;
    }
    return static_cast<std::int64_t>(q);
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
    return -floorDiv<std::int64_t>(-(p - kHalfPixel), kMeshUnit);
}

// The last pixel whose centre lies at or before mesh position p.
std::int64_t lastCentreAtOrBefore(std::int64_t p) noexcept
{
    return floorDiv<std::int64_t>(p - kHalfPixel, kMeshUnit);
}

// The affine map from destination to rest, in integers of type T: a
// destination offset d from corner a lands at rest offset (f1 * cross(d,
// e2) + f2 * cross(e1, d)) / det.
template <class T>
void mapToRest(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, std::int64_t det, std::int64_t rx,
               std::int64_t ry, std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept
{
    const T d1x = b.x - a.x, d1y = b.y - a.y, d2x = c.x - a.x, d2y = c.y - a.y;
    const T f1u = b.u - a.u, f1v = b.v - a.v, f2u = c.u - a.u, f2v = c.v - a.v;
    const T uPerX = f1u * d2y - f2u * d1y;
    const T uPerY = f2u * d1x - f1u * d2x;
    const T vPerX = f1v * d2y - f2v * d1y;
    const T vPerY = f2v * d1x - f1v * d2x;
    const T n = det;
    bool exact = true;
    t.uAcross = roundDiv<T>(uPerX * kPixel, n, kStepLimit, exact);
    t.uDown = roundDiv<T>(uPerY * kPixel, n, kStepLimit, exact);
    t.vAcross = roundDiv<T>(vPerX * kPixel, n, kStepLimit, exact);
    t.vDown = roundDiv<T>(vPerY * kPixel, n, kStepLimit, exact);
    t.baseU = originU + a.u * kScale + roundDiv<T>((uPerX * rx + uPerY * ry) * kScale, n, kPositionLimit, exact);
    t.baseV = originV + a.v * kScale + roundDiv<T>((vPerX * rx + vPerY * ry) * kScale, n, kPositionLimit, exact);
    t.heldMap = !exact;
}

template <bool kLiteral>
bool setUp(const MeshPoint& a, const MeshPoint& b0, const MeshPoint& c0, const PixelRect& clip, std::int64_t originU,
           std::int64_t originV, MeshTriangle& t) noexcept
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

    t.refColumn = static_cast<std::int32_t>(boundFirstX);
    t.refRow = static_cast<std::int32_t>(boundFirstY);
    const std::int64_t rx = boundFirstX * kMeshUnit + kHalfPixel - a.x;
    const std::int64_t ry = boundFirstY * kMeshUnit + kHalfPixel - a.y;
    const std::int64_t minU = std::min({a.u, b.u, c.u}), maxU = std::max({a.u, b.u, c.u});
    const std::int64_t minV = std::min({a.v, b.v, c.v}), maxV = std::max({a.v, b.v, c.v});
    const bool small = maxX - minX < kSmallExtent && maxY - minY < kSmallExtent && maxU - minU < kSmallExtent &&
                       maxV - minV < kSmallExtent;
    if (!kLiteral && small)
        mapToRest<std::int64_t>(a, b, c, det, rx, ry, originU, originV, t);
    else
        mapToRest<Wide>(a, b, c, det, rx, ry, originU, originV, t);

    // The footprint of a pixel along each source axis: the length of the
    // source's steps for a pixel across and down together, which a box of
    // that width matches in spread.
    const std::int64_t uAcross = t.uAcross, uDown = t.uDown, vAcross = t.vAcross, vDown = t.vDown;
    const std::int64_t spanU = floorSqrt(uAcross * uAcross + uDown * uDown);
    const std::int64_t spanV = floorSqrt(vAcross * vAcross + vDown * vDown);
    const std::int64_t span = std::max(spanU, spanV);
    std::int32_t n = 1;
    while (n < kMaxSubsamples && span > n * kMaxFootprint) n *= 2;
    t.subsamples = n;
    const auto level = [n](std::int64_t s) {
        const std::int64_t l = (s * kLevelsPerPixel + n * kSourceUnit / 2) / (n * kSourceUnit);
        return static_cast<std::int32_t>(std::min<std::int64_t>(l, kFootprintLevels));
    };
    t.levelU = level(spanU);
    t.levelV = level(spanV);

    // A covered pixel's centre maps into the triangle at rest (unless its
    // map had to be held), give or take
    // the rounding of the base and of each step to it from the reference;
    // its sub-samples lie within half its steps across and down of it.
    const std::int64_t pixels = (boundLastX - boundFirstX) + (boundLastY - boundFirstY) + 2;
    const std::int64_t slackU = (std::abs(uAcross) + std::abs(uDown)) / 2 + pixels + 2;
    const std::int64_t slackV = (std::abs(vAcross) + std::abs(vDown)) / 2 + pixels + 2;
    t.lowU = originU + minU * kScale - slackU;
    t.highU = originU + maxU * kScale + slackU;
    t.lowV = originV + minV * kScale - slackV;
    t.highV = originV + maxV * kScale + slackV;
    return true;
}

} // namespace

bool setUpMeshTriangle(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, const PixelRect& clip,
                       std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept
{
    return setUp<false>(a, b, c, clip, originU, originV, t);
}

bool setUpMeshTriangleLiteral(const MeshPoint& a, const MeshPoint& b, const MeshPoint& c, const PixelRect& clip,
                              std::int64_t originU, std::int64_t originV, MeshTriangle& t) noexcept
{
    return setUp<true>(a, b, c, clip, originU, originV, t);
}

bool triangleRowSpan(const MeshTriangle& t, std::int32_t row, std::int32_t& first, std::int32_t& end) noexcept
{
    std::int64_t lo = t.firstColumn;
    std::int64_t hi = t.endColumn; // one past
    const std::int64_t dr = row - t.firstRow;
    for (const TriangleEdge& e : t.edges) {
        const std::int64_t v = e.value + e.down * dr;
        if (e.across > 0) {
            lo = std::max(lo, t.firstColumn - floorDiv<std::int64_t>(v, e.across));
        } else if (e.across < 0) {
            hi = std::min(hi, t.firstColumn + floorDiv<std::int64_t>(v, -e.across) + 1);
        } else if (v < 0) {
            return false;
        }
    }
    if (lo >= hi) return false;
    first = static_cast<std::int32_t>(lo);
    end = static_cast<std::int32_t>(hi);
    return true;
}

TriangleRowWalk::TriangleRowWalk(const MeshTriangle& t) noexcept
    : firstColumn_(t.firstColumn), endColumn_(t.endColumn), firstRow_(t.firstRow), endRow_(t.endRow)
{
    // An edge across the rows holds where value + down * (row - firstRow) >=
    // 0; down is not 0, since the edge has a length.
    for (const TriangleEdge& e : t.edges) {
        if (e.across != 0) continue;
        if (e.down > 0)
            firstRow_ = static_cast<std::int32_t>(
                std::max<std::int64_t>(firstRow_, t.firstRow - floorDiv<std::int64_t>(e.value, e.down)));
        else
            endRow_ = static_cast<std::int32_t>(
                std::min<std::int64_t>(endRow_, t.firstRow + floorDiv<std::int64_t>(e.value, -e.down) + 1));
    }
    int lowers = 0, uppers = 0;
    for (const TriangleEdge& e : t.edges) {
        if (e.across == 0) continue;
        // The edge's value v at the walk's first row, and its step a row.
        const std::int64_t v = e.value + e.down * std::int64_t{firstRow_ - t.firstRow};
        const std::int64_t d = e.across > 0 ? e.across : -e.across;
        // A lower bound is firstColumn - floor(v / d), which is firstColumn
        // + floor((d - 1 - v) / d); an upper one firstColumn + floor(v / d)
        // + 1. Both are a quotient that steps by adding.
        const bool lower = e.across > 0;
        const std::int64_t x = lower ? d - 1 - v : v;
        const std::int64_t step = lower ? -e.down : e.down;
        Bound b;
        b.quotient = floorDiv<std::int64_t>(x, d);
        b.remainder = x - b.quotient * d;
        b.quotient += t.firstColumn + (lower ? 0 : 1);
        b.quotientStep = floorDiv<std::int64_t>(step, d);
        b.remainderStep = step - b.quotientStep * d;
        b.divisor = d;
        (lower ? lower_[lowers++] : upper_[uppers++]) = b;
    }
}

} // namespace plexor
