#include "engine/smooth_mesh.h"

#include <algorithm>
#include <cmath>

namespace plexor {
namespace {

// The uniform cubic B-spline basis at t = a / quads. At the ends it is
// exactly (1/6, 4/6, 1/6, 0) and (0, 1/6, 4/6, 1/6), the same values
// whichever of two neighbouring cells asks, and its zero adds nothing.
void basisAt(std::int32_t a, std::int32_t quads, double (&b)[4]) noexcept
{
    if (a == 0) {
        b[0] = 1.0 / 6.0, b[1] = 4.0 / 6.0, b[2] = 1.0 / 6.0, b[3] = 0.0;
        return;
    }
    if (a == quads) {
        b[0] = 0.0, b[1] = 1.0 / 6.0, b[2] = 4.0 / 6.0, b[3] = 1.0 / 6.0;
        return;
    }
    const double t = double(a) / double(quads);
    const double u = 1.0 - t;
    b[0] = u * u * u / 6.0;
    b[1] = (3.0 * t * t * t - 6.0 * t * t + 4.0) / 6.0;
    b[2] = (-3.0 * t * t * t + 3.0 * t * t + 3.0 * t + 1.0) / 6.0;
    b[3] = t * t * t / 6.0;
}

std::int64_t toMeshUnits(double pixels) noexcept
{
    const double limit = double(kMeshReach);
    return std::llround(std::clamp(pixels, -limit, limit) * double(kMeshUnit));
}

} // namespace

std::int32_t meshQuadsFor(std::int32_t step) noexcept
{
    return std::clamp((step + kMeshQuadSide - 1) / kMeshQuadSide, 1, kMaxMeshQuads);
}

CellTerms restTerms(const GridGeometry& g, CellRef cell, std::int32_t width, std::int32_t height) noexcept
{
    // A real point's term is its grid position; a virtual point's lies on
    // the picture's edge across the grid and follows the nearest real point
    // along it, which depends on its own column or row alone.
    const auto along = [](std::int32_t p, std::int32_t count, std::int32_t margin, std::int32_t step,
                          std::int32_t extent) -> std::int64_t {
        if (p < 0) return 0;
        if (p >= count) return extent;
        return std::int64_t{margin} + std::int64_t{p} * step;
    };
    CellTerms rest;
    for (std::int32_t k = 0; k < 4; ++k)
        for (std::int32_t l = 0; l < 4; ++l) {
            rest.x[4 * k + l] = along(cell.col + l - 1, g.pointCols, g.marginX, g.step, width);
            rest.y[4 * k + l] = along(cell.row + k - 1, g.pointRows, g.marginY, g.step, height);
        }
    return rest;
}

void buildSmoothMesh(const GridGeometry& g, CellRef cell, const CellTerms& terms, std::int32_t width,
                     std::int32_t height, SmoothMesh& mesh) noexcept
{
    const std::int32_t m = meshQuadsFor(g.step);
    mesh.quads = m;
    const CellTerms rest = restTerms(g, cell, width, height);
    double dx[16];
    double dy[16];
    for (int q = 0; q < 16; ++q) {
        dx[q] = double(termDisplacement(terms.x[q], rest.x[q]));
        dy[q] = double(termDisplacement(terms.y[q], rest.y[q]));
    }
    double basis[kMaxMeshQuads + 1][4];
    for (std::int32_t a = 0; a <= m; ++a) {
        basisAt(a, m, basis[a]);
        mesh.rest[a] = (2 * kMeshUnit * g.step * a + m) / (2 * m);
    }
    // Row k of the points blended across at each lattice column: rx[a][k].
    double rx[kMaxMeshQuads + 1][4];
    double ry[kMaxMeshQuads + 1][4];
    for (std::int32_t a = 0; a <= m; ++a)
        for (int k = 0; k < 4; ++k) {
            const double* b = basis[a];
            rx[a][k] = b[0] * dx[4 * k] + b[1] * dx[4 * k + 1] + b[2] * dx[4 * k + 2] + b[3] * dx[4 * k + 3];
            ry[a][k] = b[0] * dy[4 * k] + b[1] * dy[4 * k + 1] + b[2] * dy[4 * k + 2] + b[3] * dy[4 * k + 3];
        }
    for (std::int32_t bi = 0; bi <= m; ++bi) {
        const double* b = basis[bi];
        for (std::int32_t a = 0; a <= m; ++a) {
            const double ex = b[0] * rx[a][0] + b[1] * rx[a][1] + b[2] * rx[a][2] + b[3] * rx[a][3];
            const double ey = b[0] * ry[a][0] + b[1] * ry[a][1] + b[2] * ry[a][2] + b[3] * ry[a][3];
            mesh.x[bi][a] = mesh.rest[a] + toMeshUnits(ex);
            mesh.y[bi][a] = mesh.rest[bi] + toMeshUnits(ey);
        }
    }
}

} // namespace plexor
