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

// A virtual point left of or above the grid adds 0 * w, which leaves
// the sum as it was, bit for bit: x + 0 is x for every x but -0, and the
// sum, which starts at +0 and can only cancel to +0, is never -0.
void literalSampleCoordinates(const GridSampling& g, const CellTerms& terms, std::int32_t i, std::int32_t j,
                              float& xOut, float& yOut)
{
    const std::int32_t n = g.samplesPerCell();
    const float* weights = &g.tables.weights()[16 * (static_cast<std::size_t>(i) * (n + 1) + j)];
    float x = 0.0f;
    float y = 0.0f;
    // Kept a loop: unrolled, g++ rounds both sums through one stack slot,
    // and the two chains of additions wait for each other.
#pragma GCC unroll 1
    for (int q = 0; q < 16; ++q) {
        x = store(x + Extended(terms.x[q]) * weights[q]);
        y = store(y + Extended(terms.y[q]) * weights[q]);
    }
    xOut = x;
    yOut = y;
}

void cellCoordinatesLiteral(const GridSampling& g, std::int64_t width, std::int64_t height, CellRef cell, float* xs,
                            float* ys)
{
    const std::int32_t n = g.samplesPerCell();
    const CellTerms terms = gatherCellTerms(g, width, height, cell.col, cell.row);
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = 0; j <= n; ++j) {
            const std::size_t at = static_cast<std::size_t>(i) * (n + 1) + j;
            literalSampleCoordinates(g, terms, i, j, xs[at], ys[at]);
        }
}

void deformCellLiteral(const GridSampling& g, const SplatTarget& target, CellRef cell)
{
    assert(target.work != nullptr && target.source != nullptr && target.mask != nullptr);
    const std::int32_t n = g.samplesPerCell();
    const std::int64_t w = target.width;
    const ControlPoint& o = g.point(cell.col, cell.row);
    const std::int64_t ox = o.x;
    const std::int64_t oy = o.y;
    const CellTerms terms = gatherCellTerms(g, target.width, target.height, cell.col, cell.row);
    for (std::int32_t i = 0; i <= n; ++i) {
        for (std::int32_t j = 0; j <= n; ++j) {
            float x;
            float y;
            literalSampleCoordinates(g, terms, i, j, x, y);
            std::int64_t xd;
            std::int64_t yd;
            if (!truncateCoordinate(x, xd) || !truncateCoordinate(y, yd)) continue;
            splatSamplePlain(target, xd, yd, (oy + i) * w + ox + j);
        }
    }
}

} // namespace plexor
