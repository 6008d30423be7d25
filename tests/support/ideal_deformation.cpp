#include "tests/support/ideal_deformation.h"

#include <algorithm>
#include <cmath>

namespace plexor::test {
namespace {

constexpr int kSubsamples = 8;

// Solves (g[i - 1] + 6 g[i] + g[i + 1]) / 8 = f[i] along a line of n values
// `stride` apart, the values beyond each end taken as the end's own.
void sharpenLine(double* line, std::int32_t n, std::int32_t stride)
{
    if (n == 1) return;
    std::vector<double> diag(n, 6.0 / 8), rhs(n);
    diag[0] += 1.0 / 8;
    diag[n - 1] += 1.0 / 8;
    for (std::int32_t i = 0; i < n; ++i) rhs[i] = line[static_cast<std::size_t>(i) * stride];
    const double off = 1.0 / 8;
    for (std::int32_t i = 1; i < n; ++i) {
        const double m = off / diag[i - 1];
        diag[i] -= m * off;
        rhs[i] -= m * rhs[i - 1];
    }
    std::vector<double> g(n);
    g[n - 1] = rhs[n - 1] / diag[n - 1];
    for (std::int32_t i = n - 2; i >= 0; --i) g[i] = (rhs[i] - off * g[i + 1]) / diag[i];
    for (std::int32_t i = 0; i < n; ++i) line[static_cast<std::size_t>(i) * stride] = g[i];
}

void basis(double t, double (&b)[4])
{
    const double u = 1 - t;
    b[0] = u * u * u / 6;
    b[1] = (3 * t * t * t - 6 * t * t + 4) / 6;
    b[2] = (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6;
    b[3] = t * t * t / 6;
}

// The sample index and weight of the bilinear surface at position p (pixel
// centres at i + 1/2), held at the picture's edges.
void linearTaps(double p, std::int32_t n, std::int32_t& i0, std::int32_t& i1, double& w1)
{
    const double c = std::clamp(p - 0.5, 0.0, double(n - 1));
    i0 = std::min(static_cast<std::int32_t>(c), n - 1);
    i1 = std::min(i0 + 1, n - 1);
    w1 = c - i0;
}

// The terms of the cell at rest: grid positions, and the ring of virtual
// points at 0 and at the picture's edges.
CellTerms termsAtRest(const GridGeometry& grid, CellRef cell, std::int32_t width, std::int32_t height)
{
    CellTerms rest;
    for (std::int32_t k = 0; k < 4; ++k)
        for (std::int32_t l = 0; l < 4; ++l) {
            const std::int32_t pc = cell.col + l - 1, pr = cell.row + k - 1;
            rest.x[4 * k + l] = pc < 0 ? 0 : pc >= grid.pointCols ? width : grid.marginX + pc * grid.step;
            rest.y[4 * k + l] = pr < 0 ? 0 : pr >= grid.pointRows ? height : grid.marginY + pr * grid.step;
        }
    return rest;
}

} // namespace

RealPicture idealDeformation(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                             const GridGeometry& grid, std::span<const CellRef> cells,
                             const std::function<CellTerms(CellRef)>& termsOf, const std::uint8_t* start)
{
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::vector<double> g(source, source + 3 * pixels);
    for (int ch = 0; ch < 3; ++ch) {
        for (std::int32_t y = 0; y < height; ++y)
            sharpenLine(&g[3 * (static_cast<std::size_t>(y) * width) + ch], width, 3);
        for (std::int32_t x = 0; x < width; ++x)
            sharpenLine(&g[3 * static_cast<std::size_t>(x) + ch], height, 3 * width);
    }
    std::vector<double> sum(3 * pixels, 0.0);
    std::vector<std::int32_t> count(pixels, 0);
    const std::int32_t n = grid.step * kSubsamples;
    std::vector<double> bx(4 * static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        double b[4];
        basis((i + 0.5) / n, b);
        std::copy(b, b + 4, &bx[4 * static_cast<std::size_t>(i)]);
    }
    for (const CellRef cell : cells) {
        const CellTerms terms = termsOf(cell);
        const CellTerms rest = termsAtRest(grid, cell, width, height);
        // Each row of points blended across, at each sub-sample column.
        std::vector<double> rx(4 * static_cast<std::size_t>(n)), ry(4 * static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k)
                for (int l = 0; l < 4; ++l) {
                    rx[4 * static_cast<std::size_t>(i) + k] +=
                        bx[4 * static_cast<std::size_t>(i) + l] * double(terms.x[4 * k + l] - rest.x[4 * k + l]);
                    ry[4 * static_cast<std::size_t>(i) + k] +=
                        bx[4 * static_cast<std::size_t>(i) + l] * double(terms.y[4 * k + l] - rest.y[4 * k + l]);
                }
        const double ox = grid.marginX + double(cell.col) * grid.step;
        const double oy = grid.marginY + double(cell.row) * grid.step;
        // Where each sub-sample column reads the bilinear surface.
        std::vector<std::int32_t> x0s(n), x1s(n);
        std::vector<double> wxs(n);
        for (std::int32_t i = 0; i < n; ++i) linearTaps(ox + (i + 0.5) / kSubsamples, width, x0s[i], x1s[i], wxs[i]);
        for (std::int32_t j = 0; j < n; ++j) {
            const double* by = &bx[4 * static_cast<std::size_t>(j)];
            const double py = oy + (j + 0.5) / kSubsamples;
            std::int32_t y0, y1;
            double wy;
            linearTaps(py, height, y0, y1, wy);
            const double* row0 = &g[3 * static_cast<std::size_t>(y0) * width];
            const double* row1 = &g[3 * static_cast<std::size_t>(y1) * width];
            for (std::int32_t i = 0; i < n; ++i) {
                const double* r = &rx[4 * static_cast<std::size_t>(i)];
                const double* s = &ry[4 * static_cast<std::size_t>(i)];
                const double ex = by[0] * r[0] + by[1] * r[1] + by[2] * r[2] + by[3] * r[3];
                const double ey = by[0] * s[0] + by[1] * s[1] + by[2] * s[2] + by[3] * s[3];
                const double qx = std::floor(ox + (i + 0.5) / kSubsamples + ex), qy = std::floor(py + ey);
                if (qx < 0 || qy < 0 || qx >= width || qy >= height) continue;
                const std::size_t to = static_cast<std::size_t>(qy) * width + static_cast<std::size_t>(qx);
                ++count[to];
                const double wx = wxs[i];
                const std::size_t a = 3 * static_cast<std::size_t>(x0s[i]), b = 3 * static_cast<std::size_t>(x1s[i]);
                for (int ch = 0; ch < 3; ++ch)
                    sum[3 * to + ch] += (row0[a + ch] * (1 - wx) + row0[b + ch] * wx) * (1 - wy) +
                                        (row1[a + ch] * (1 - wx) + row1[b + ch] * wx) * wy;
            }
        }
    }
    RealPicture ideal{width, height, std::vector<double>(3 * pixels)};
    for (std::size_t p = 0; p < pixels; ++p)
        for (int ch = 0; ch < 3; ++ch)
            ideal.bgr[3 * p + ch] = count[p] > 0 ? sum[3 * p + ch] / count[p] : double(start[3 * p + ch]);
    return ideal;
}

double peakSignalToNoise(const std::uint8_t* picture, const RealPicture& ideal, const GridGeometry& grid,
                         std::span<const CellRef> cells)
{
    double squares = 0;
    std::int64_t values = 0;
    for (const CellRef cell : cells) {
        const std::int32_t ox = grid.marginX + cell.col * grid.step, oy = grid.marginY + cell.row * grid.step;
        for (std::int32_t y = oy; y < oy + grid.step; ++y)
            for (std::int32_t x = ox; x < ox + grid.step; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    const std::size_t at = 3 * (static_cast<std::size_t>(y) * ideal.width + x) + ch;
                    const double e = picture[at] - ideal.bgr[at];
                    squares += e * e;
                    ++values;
                }
    }
    const double mse = squares / double(std::max<std::int64_t>(values, 1));
    return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 999.0;
}

} // namespace plexor::test
