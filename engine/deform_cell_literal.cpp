// The deformation of one cell, written as its recipe reads: every product
// and sum in extended precision, rounded to single precision only where a
// value is stored. Kept as the reference for the fast kernel.

#include <algorithm>

#include "engine/deform_cell.h"
#include "engine/extended.h"
#include "engine/literal_sample.h"
#include "engine/splat.h"

namespace plexor {
void LiteralSampleCoordinates(const DeformModel& m, std::int32_t c, std::int32_t r, std::int32_t i, std::int32_t j,
                              float& xOut, float& yOut)
{
    const std::int32_t n = m.SamplesPerCell;
    const std::int32_t P = m.PointCols();
    const std::int32_t Q = m.PointRows();
    float x = 0.0f;
    float y = 0.0f;
    for (std::int32_t k = 0; k <= 3; ++k) {
        for (std::int32_t l = 0; l <= 3; ++l) {
            const std::int32_t pr = r + k - 1;
            const std::int32_t pc = c + l - 1;
            const float w = m.WeightTable[16 * (static_cast<std::size_t>(i) * (n + 1) + j) + 4 * k + l];
            const TControlPoint& z = m.Point(std::clamp(pc, 0, P - 1), std::clamp(pr, 0, Q - 1));
            if (pc >= 0 && pc < P)
                x = Store(x + Extended(std::int64_t{z.X} + z.DX) * w);
            else if (pc >= P)
                x = Store(x + Extended(m.ImageWidth) * w);
            if (pr >= 0 && pr < Q)
                y = Store(y + Extended(std::int64_t{z.Y} + z.DY) * w);
            else if (pr >= Q)
                y = Store(y + Extended(m.ImageHeight) * w);
        }
    }
    xOut = x;
    yOut = y;
}

void CellCoordinatesLiteral(const DeformModel& m, TCellRef cell, float* xs, float* ys)
{
    const std::int32_t n = m.SamplesPerCell;
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = 0; j <= n; ++j) {
            const std::size_t at = static_cast<std::size_t>(i) * (n + 1) + j;
            LiteralSampleCoordinates(m, cell.Col, cell.Row, i, j, xs[at], ys[at]);
        }
}

void DeformCellLiteral(DeformModel& m, TCellRef cell)
{
    if (m.WorkImage.empty() || m.SourceImage.empty() || m.SplatMask.empty()) return;
    const std::int32_t n = m.SamplesPerCell;
    const std::int64_t W = m.ImageWidth;
    const std::int64_t capacity = m.PixelCapacity;
    const TControlPoint& o = m.Point(cell.Col, cell.Row);
    const std::int64_t ox = o.X;
    const std::int64_t oy = o.Y;
    for (std::int32_t i = 0; i <= n; ++i) {
        for (std::int32_t j = 0; j <= n; ++j) {
            float x;
            float y;
            LiteralSampleCoordinates(m, cell.Col, cell.Row, i, j, x, y);
            std::int64_t xd;
            std::int64_t yd;
            if (!TruncateCoordinate(x, xd) || !TruncateCoordinate(y, yd)) continue;
            const std::int64_t dest = yd * W + xd;
            const std::int64_t src = (oy + i) * W + ox + j;
            if (dest < 0 || dest >= capacity || src < 0 || src >= capacity) continue;
            m.SplatMask[dest] = 1;
            for (std::int64_t a = -1; a <= 1; ++a) {
                for (std::int64_t b = -1; b <= 1; ++b) {
                    const std::int64_t pos = (yd + a) * W + xd + b;
                    if (pos >= 0 && pos < capacity && m.SplatMask[pos] == 0)
                        CopyPixel(m.WorkImage.data() + 3 * pos, m.SourceImage.data() + 3 * src);
                }
            }
            CopyPixel(m.WorkImage.data() + 3 * dest, m.SourceImage.data() + 3 * src);
        }
    }
}

} // namespace plexor
