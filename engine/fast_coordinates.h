#pragma once

// The fast kernel's coordinates, chunk by chunk, for the engine's own
// files: what deformCell and the landing of a cell's samples share.

#include <algorithm>
#include <cstdint>

#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/chunk_kernel.h"
#include "engine/deform_cell_internal.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"
#include "engine/weight_tables.h"

namespace plexor {

// Gathers the cell's terms as doubles; false when one is too large for the
// products to be exact in double.
bool exactTerms(const CellTerms& terms, double* tx, double* ty);

// The chunk kernel for `kind`; for Best, the widest the processor has,
// looked up on first use and kept.
ChunkKernel pickChunkKernel(FastKernel kind);

// Computes a suspect sample again, term by term, each sum decided exactly.
void refineSample(const float* weights, const double* tx, const double* ty, float& x, float& y) noexcept;

// Calls visit(i, j0, count, chunk) for every chunk of samples of the cell,
// over a picture `width` wide of `capacity` pixels, in row-major order: samples j0 .. j0 + count - 1 of sample row i,
// in the first `count` lanes of the chunk, their coordinates and destinations final.
template <class Visit>
void forEachChunk(const GridSampling& g, std::int64_t width, std::int64_t capacity, const double* tx, const double* ty,
                  ChunkKernel kernel, Visit&& visit)
{
    const std::int32_t n = g.samplesPerCell();
    const std::int32_t padded = paddedSampleCount(n);
    const PixelFrame frame{static_cast<double>(width), static_cast<double>(capacity)};
    Chunk chunk;
    for (std::int32_t i = 0; i <= n; ++i) {
        const double* row = g.tables.lanes().data() + static_cast<std::size_t>(i) * 16 * padded;
        for (std::int32_t j0 = 0; j0 <= n; j0 += kChunkLanes) {
            const int count = std::min(kChunkLanes, n + 1 - j0);
            kernel(row, padded, j0, count, tx, ty, frame, chunk);
            if (chunk.anySuspect) {
                for (int l = 0; l < count; ++l) {
                    if (chunk.suspect[l] == 0) continue;
                    refineSample(g.tables.weights().data() + 16 * (static_cast<std::size_t>(i) * (n + 1) + j0 + l), tx,
                                 ty, chunk.x[l], chunk.y[l]);
                    std::int64_t xd;
                    chunk.dest[l] = pixelIndex(chunk.x[l], chunk.y[l], width, capacity, xd);
                }
            }
            visit(i, j0, count, chunk);
        }
    }
}

// Whether the grid holds the cell and the tables of its step, as the fast
// kernel needs them.
bool cellFits(const GridSampling& grid, CellRef cell);

} // namespace plexor
