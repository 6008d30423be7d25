#include "engine/cell_landing.h"

#include <algorithm>
#include <cassert>

#include "engine/alpha_splat_target.h"
#include "engine/fast_coordinates.h"
#include "engine/splat_block.h"

namespace plexor {

CellLanding landCellSamples(const GridSampling& g, const SplatTarget& target, CellRef cell, std::int32_t* dests)
{
    assert(cellFits(g, cell));
    const CellTerms terms = gatherCellTerms(g, target.width, target.height, cell.col, cell.row);
    const ControlPoint& o = g.point(cell.col, cell.row);
    const std::int64_t originX = o.x;
    const std::int64_t originY = o.y;
    const std::int64_t width = target.width;
    const std::int64_t capacity = target.capacity;
    const auto height = static_cast<std::int32_t>(target.height);
    const std::int32_t n = g.samplesPerCell();
    const std::size_t stride = static_cast<std::size_t>(n) + 1;
    std::int64_t first = width;
    std::int64_t last = 0;
    bool wraps = false;
    // The columns a sample landing at truncated x `xd` writes.
    const auto reach = [&](std::int64_t xd) {
        // A square from column 1 to the last but one stays in its rows.
        wraps |= xd < 1 || xd + 2 > width;
        first = std::min(first, xd - 1);
        last = std::max(last, xd + 2);
    };
    const auto land = [&](std::int32_t i, std::int32_t j, float x, float y) {
        std::int64_t xd;
        const std::int32_t dest = sampleDestination(x, y, (originY + i) * width + originX + j, width, capacity, xd);
        dests[i * stride + j] = dest;
        if (dest >= 0) reach(xd);
    };
    CellLanding landing;
    double tx[16];
    double ty[16];
    if (exactTerms(terms, tx, ty)) {
        forEachChunk(g, width, capacity, tx, ty, pickChunkKernel(FastKernel::Best),
                     [&](std::int32_t i, std::int32_t j0, int count, const Chunk& chunk) {
                         const std::int64_t src = (originY + i) * width + originX + j0;
                         std::int32_t* row = dests + i * stride + j0;
                         for (int l = 0; l < count; ++l) {
                             const bool sourced = src + l >= 0 && src + l < capacity;
                             row[l] = sourced ? chunk.dest[l] : -1;
                             // Landing, x lies strictly between -2^31 and 2^31.
                             if (row[l] >= 0) reach(static_cast<std::int32_t>(chunk.x[l]));
                         }
                     });
        landing.reach = footprintOf(terms, static_cast<std::int32_t>(width), height);
    } else {
        // Terms this far out may send samples anywhere.
        for (std::int32_t i = 0; i <= n; ++i)
            for (std::int32_t j = 0; j <= n; ++j) {
                float x;
                float y;
                literalSampleCoordinates(g, terms, i, j, x, y);
                land(i, j, x, y);
            }
        landing.reach.rects[landing.reach.count++] = PixelRect{0, 0, static_cast<std::int32_t>(width), height};
    }
    if (wraps) {
        first = 0;
        last = width;
    }
    landing.firstColumn = static_cast<std::int32_t>(first);
    landing.lastColumn = static_cast<std::int32_t>(last);
    return landing;
}

void splatCellSamples(const GridSampling& g, const SplatTarget& target, CellRef cell, const std::int32_t* dests,
                      const CellLanding& landing, SplatBand band)
{
    assert(cellFits(g, cell));
    if (landing.firstColumn >= band.last || landing.lastColumn <= band.first) return;
    // Inside the band, no sample needs its column looked at.
    const bool inside = landing.firstColumn >= band.first && landing.lastColumn <= band.last;
    const ControlPoint& o = g.point(cell.col, cell.row);
    const std::int64_t side = std::int64_t{g.samplesPerCell()} + 1;
    const SplatBlock block{dests, side, side, std::int64_t{o.y} * target.width + o.x, target.width};
    withSplatPlanes(target, [&](const auto& planes) { splatBlock(planes, band, block, inside); });
}

} // namespace plexor
