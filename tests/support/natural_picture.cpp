#include "tests/support/natural_picture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace plexor::test {
namespace {

// Uniform in [0, 1) from the generator's raw output, which the standard
// fixes, rather than from a distribution, which it does not.
double unit(std::mt19937& rng)
{
    return double(rng()) / 4294967296.0;
}

// Value noise: random values on a lattice `cell` pixels apart, blended
// smoothly between lattice points.
class ValueNoise {
public:
    ValueNoise(std::int32_t width, std::int32_t height, double cell, std::mt19937& rng)
        : cell_(cell), cols_(static_cast<std::int32_t>(width / cell) + 2),
          rows_(static_cast<std::int32_t>(height / cell) + 2)
    {
        values_.resize(static_cast<std::size_t>(cols_) * rows_);
        for (double& v : values_) v = unit(rng);
    }
    double at(double x, double y) const
    {
        const double fx = x / cell_, fy = y / cell_;
        const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
        const double sx = smooth(fx - ix), sy = smooth(fy - iy);
        const double top = lattice(ix, iy) * (1 - sx) + lattice(ix + 1, iy) * sx;
        const double bottom = lattice(ix, iy + 1) * (1 - sx) + lattice(ix + 1, iy + 1) * sx;
        return top * (1 - sy) + bottom * sy;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double lattice(std::int32_t x, std::int32_t y) const { return values_[static_cast<std::size_t>(y) * cols_ + x]; }
    double cell_;
    std::int32_t cols_, rows_;
    std::vector<double> values_;
};

struct Shape {
    int kind; // 0 disc, 1 rectangle, 2 stroke
    double x0, y0, x1, y1, radius;
    double colour[3];
};

// Whether the point lies inside the shape.
bool covers(const Shape& s, double x, double y)
{
    switch (s.kind) {
    case 0: return (x - s.x0) * (x - s.x0) + (y - s.y0) * (y - s.y0) <= s.radius * s.radius;
    case 1: return x >= s.x0 && x <= s.x1 && y >= s.y0 && y <= s.y1;
    default: {
        // Within `radius` of the segment.
        const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        const double t = std::clamp(((x - s.x0) * dx + (y - s.y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        const double ex = s.x0 + t * dx - x, ey = s.y0 + t * dy - y;
        return ex * ex + ey * ey <= s.radius * s.radius;
    }
    }
}

} // namespace

Pixels naturalPicture(std::int32_t width, std::int32_t height, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    const ValueNoise coarse(width, height, 37.0, rng), middle(width, height, 9.0, rng), fine(width, height, 2.5, rng);
    const ValueNoise tint(width, height, 61.0, rng);
    std::vector<Shape> shapes;
    for (int i = 0; i < 6; ++i) {
        Shape s{i % 2, unit(rng) * width, unit(rng) * height, 0, 0, 10 + unit(rng) * 30, {}};
        s.x1 = s.x0 + 15 + unit(rng) * 50;
        s.y1 = s.y0 + 15 + unit(rng) * 50;
        for (double& c : s.colour) c = 20 + unit(rng) * 215;
        shapes.push_back(s);
    }
    // Strokes: short connected segments, like a few written words.
    for (int word = 0; word < 5; ++word) {
        double x = unit(rng) * width * 0.8, y = 10 + unit(rng) * (height - 20);
        for (int seg = 0; seg < 8; ++seg) {
            const double nx = x + 2 + unit(rng) * 6, ny = y + (unit(rng) - 0.5) * 16;
            shapes.push_back(Shape{2, x, y, nx, ny, 0.6 + unit(rng) * 0.6, {30, 25, 20}});
            x = nx, y = std::clamp(ny, 4.0, height - 4.0);
        }
    }
    Pixels p{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double texture = 0.5 * coarse.at(px, py) + 0.3 * middle.at(px, py) + 0.2 * fine.at(px, py);
            const double hue = tint.at(px, py);
            double c[3] = {255 * texture * (0.6 + 0.4 * hue), 255 * texture, 255 * texture * (1.0 - 0.4 * hue)};
            // Each shape over what lies below, by the share of 4 x 4 points
            // of the pixel it covers: hard edges, antialiased as a lens would.
            for (const Shape& s : shapes) {
                const double reach = s.kind == 0 ? s.radius : s.radius + 1;
                const double left = std::min(s.x0, s.kind == 0 ? s.x0 : s.x1) - reach;
                const double right = std::max(s.x0, s.kind == 0 ? s.x0 : s.x1) + reach;
                const double top = std::min(s.y0, s.kind == 0 ? s.y0 : s.y1) - reach;
                const double bottom = std::max(s.y0, s.kind == 0 ? s.y0 : s.y1) + reach;
                if (x + 1 < left || x > right || y + 1 < top || y > bottom) continue;
                int inside = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i) inside += covers(s, x + (i + 0.5) / 4, y + (j + 0.5) / 4);
                for (int ch = 0; ch < 3; ++ch) c[ch] += (s.colour[ch] - c[ch]) * inside / 16.0;
            }
            for (int ch = 0; ch < 3; ++ch)
                p.bgr[3 * (static_cast<std::size_t>(y) * width + x) + ch] =
                    static_cast<std::uint8_t>(std::clamp(std::lround(c[ch]), 0L, 255L));
        }
    return p;
}

} // namespace plexor::test
