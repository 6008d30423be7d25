// The deformation of one cell in the plain, literal form of its arithmetic:
// every product and sum in extended precision, rounded to single precision
// only where a value is stored, and the plain splat. Kept as the reference
// for the fast kernel.

#include <cassert>

#include "engine/cell_terms.h"
#include "engine/deform_cell_internal.h"
#include "engine/extended.h"
#include "engine/splat.h"

namespace plexor {
namespace {

// The accumulated coordinates of sample (i, j) of a cell with the given
// terms. A virtual point left of or above the grid adds 0 * w, which leaves
// the sum as it was, bit for bit: x + 0 is x for every x but -0, and the
// sum, which starts at +0 and can only cancel to +0, is never -0.
void LiteralSampleCoordinates(const DeformModel& m, const CellTerms& terms, std::int32_t i, std::int32_t j, float& xOut,
                              float& yOut)
{
    const std::int32_t n = m.SamplesPerCell;
    const float* weights = &m.WeightTable[16 * (static_cast<std::size_t>(i) * (n + 1) + j)];
    float x = 0.0f;
    float y = 0.0f;
    // Kept a loop: unrolled, g++ rounds both sums through one stack slot,
    // and the two chains of additions wait for each other.
#pragma GCC unroll 1
    for (int q = 0; q < 16; ++q) {
        x = Store(x + Extended(terms.X[q]) * weights[q]);
        y = Store(y + Extended(terms.Y[q]) * weights[q]);
    }
    xOut = x;
    yOut = y;
}

} // namespace

void CellCoordinatesLiteral(const DeformModel& m, TCellRef cell, float* xs, float* ys)
{
    const std::int32_t n = m.SamplesPerCell;
    const CellTerms terms = GatherCellTerms(m, cell.Col, cell.Row);
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = 0; j <= n; ++j) {
            const std::size_t at = static_cast<std::size_t>(i) * (n + 1) + j;
            LiteralSampleCoordinates(m, terms, i, j, xs[at], ys[at]);
        }
}

void DeformCellLiteral(DeformModel& m, TCellRef cell)
{
    assert(!m.WorkImage.empty() && !m.SourceImage.empty() && !m.SplatMask.empty());
    const SplatTarget target{m.WorkImage.data(), m.SplatMask.data(), m.SourceImage.data(), m.PixelCapacity,
                             m.ImageWidth};
    const std::int32_t n = m.SamplesPerCell;
    const std::int64_t W = m.ImageWidth;
    const TControlPoint& o = m.Point(cell.Col, cell.Row);
    const std::int64_t ox = o.X;
    const std::int64_t oy = o.Y;
    const CellTerms terms = GatherCellTerms(m, cell.Col, cell.Row);
    for (std::int32_t i = 0; i <= n; ++i) {
        for (std::int32_t j = 0; j <= n; ++j) {
            float x;
            float y;
            LiteralSampleCoordinates(m, terms, i, j, x, y);
            std::int64_t xd;
            std::int64_t yd;
            if (!TruncateCoordinate(x, xd) || !TruncateCoordinate(y, yd)) continue;
            SplatSamplePlain(target, xd, yd, (oy + i) * W + ox + j);
        }
    }
}

} // namespace plexor
