// The fast cell kernel against the literal one: the accumulated coordinates
// of every sample, compared as float bit patterns, over every cell of grids
// of every step from 1 to 64, with no displacement and with many random
// displacement sets, extremes included; and the pixels they write.

#include <bit>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_cell_internal.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

enum class Displacement { None, WithinPicture, NearStep, Extreme };

void displace(TestModel& m, Displacement kind, std::mt19937& rng)
{
    const std::int32_t limit = (1 << 29) - 1;
    for (std::size_t i = 0; i < m.grid.points().size(); ++i) {
        const ControlPoint& p = m.grid.points()[i];
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        switch (kind) {
        case Displacement::None: break;
        case Displacement::WithinPicture: // where a drag may put a point
            dx = std::uniform_int_distribution<std::int32_t>(0, m.picture.width() - 1)(rng) - p.x;
            dy = std::uniform_int_distribution<std::int32_t>(0, m.picture.height() - 1)(rng) - p.y;
            break;
        case Displacement::NearStep: {
            std::uniform_int_distribution<std::int32_t> d(-m.grid.step(), m.grid.step());
            dx = d(rng);
            dy = d(rng);
            break;
        }
        case Displacement::Extreme: { // sums at and beyond the edge of exact doubles
            const std::int32_t picks[] = {limit, -limit, limit + 1, -limit - 1, 1 << 30, -(1 << 30), 0, 1};
            std::uniform_int_distribution<int> pick(0, 7);
            dx = picks[pick(rng)] - p.x;
            dy = picks[pick(rng)] - p.y;
            break;
        }
        }
        m.grid.displace(i, dx, dy);
    }
}

void buildGridModel(TestModel& m, std::int32_t step)
{
    const std::int32_t width = (3 * step + step / 2 + 1 + 3) / 4 * 4;
    const std::int32_t height = 3 * step + step / 3 + 1;
    loadPicture(m, width, height);
    m.layGrid(step);
}

// The naive way to go faster: double sums rounded straight to float. It is
// not always the literal result; the sweep below must be able to see that.
void naiveDoubleCoordinates(const TestModel& m, CellRef cell, float* xs, float* ys)
{
    const GridSampling g = m.grid.sampling();
    const std::int32_t n = g.samplesPerCell();
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = 0; j <= n; ++j) {
            float x = 0.0f;
            float y = 0.0f;
            for (int k = 0; k < 4; ++k)
                for (int l = 0; l < 4; ++l) {
                    const int pr = cell.row + k - 1;
                    const int pc = cell.col + l - 1;
                    const double w = g.tables.weights()[16 * (static_cast<std::size_t>(i) * (n + 1) + j) + 4 * k + l];
                    const ControlPoint& z =
                        g.point(std::clamp(pc, 0, g.shape.pointCols - 1), std::clamp(pr, 0, g.shape.pointRows - 1));
                    if (pc >= 0 && pc < g.shape.pointCols)
                        x = static_cast<float>(x + double(std::int64_t{z.x} + z.dx) * w);
                    else if (pc >= g.shape.pointCols)
                        x = static_cast<float>(x + double(m.picture.width()) * w);
                    if (pr >= 0 && pr < g.shape.pointRows)
                        y = static_cast<float>(y + double(std::int64_t{z.y} + z.dy) * w);
                    else if (pr >= g.shape.pointRows)
                        y = static_cast<float>(y + double(m.picture.height()) * w);
                }
            xs[i * (n + 1) + j] = x;
            ys[i * (n + 1) + j] = y;
        }
}

TEST(DeformCellIdentity, CoordinatesMatchTheLiteralKernelBitForBit)
{
    // The best kernel of this processor, the four-lane one where it exists
    // beside it, and the portable one are all held to the literal kernel.
    std::cout << "best kernel here: "
              << (fastKernelAvailable(FastKernel::Avx512) ? "avx512"
                  : fastKernelAvailable(FastKernel::Avx2) ? "avx2"
                                                          : "portable")
              << std::endl;
    std::mt19937 rng(20261208);
    long long samples = 0;
    long long naiveMismatches = 0;
    const Displacement kinds[] = {Displacement::None,          Displacement::WithinPicture, Displacement::WithinPicture,
                                  Displacement::WithinPicture, Displacement::NearStep,      Displacement::NearStep,
                                  Displacement::Extreme,       Displacement::Extreme};
    for (std::int32_t step = 1; step <= 64; ++step) {
        TestModel m;
        buildGridModel(m, step);
        const GridSampling g = m.grid.sampling();
        const std::int64_t w = m.picture.width(), h = m.picture.height();
        const std::size_t count = static_cast<std::size_t>(step + 1) * (step + 1);
        std::vector<float> lx(count), ly(count), fx(count), fy(count), px(count), py(count), vx(count), vy(count),
            nx(count), ny(count);
        for (Displacement kind : kinds) {
            displace(m, kind, rng);
            for (std::int32_t r = 0; r < g.shape.cellRows; ++r)
                for (std::int32_t c = 0; c < g.shape.cellCols; ++c) {
                    cellCoordinatesLiteral(g, w, h, {c, r}, lx.data(), ly.data());
                    cellCoordinatesFast(g, w, h, {c, r}, fx.data(), fy.data(), FastKernel::Best);
                    cellCoordinatesFast(g, w, h, {c, r}, px.data(), py.data(), FastKernel::Portable);
                    if (fastKernelAvailable(FastKernel::Avx2)) {
                        cellCoordinatesFast(g, w, h, {c, r}, vx.data(), vy.data(), FastKernel::Avx2);
                        ASSERT_EQ(0, std::memcmp(vx.data(), lx.data(), count * sizeof(float)))
                            << "avx2 x, step " << step;
                        ASSERT_EQ(0, std::memcmp(vy.data(), ly.data(), count * sizeof(float)))
                            << "avx2 y, step " << step;
                    }
                    naiveDoubleCoordinates(m, {c, r}, nx.data(), ny.data());
                    for (std::size_t s = 0; s < count; ++s) {
                        ASSERT_EQ(std::bit_cast<std::uint32_t>(fx[s]), std::bit_cast<std::uint32_t>(lx[s]))
                            << "x, step " << step << " cell (" << c << ", " << r << ") sample " << s;
                        ASSERT_EQ(std::bit_cast<std::uint32_t>(fy[s]), std::bit_cast<std::uint32_t>(ly[s]))
                            << "y, step " << step << " cell (" << c << ", " << r << ") sample " << s;
                        ASSERT_EQ(std::bit_cast<std::uint32_t>(px[s]), std::bit_cast<std::uint32_t>(lx[s]))
                            << "portable x, step " << step << " cell (" << c << ", " << r << ") sample " << s;
                        ASSERT_EQ(std::bit_cast<std::uint32_t>(py[s]), std::bit_cast<std::uint32_t>(ly[s]))
                            << "portable y, step " << step << " cell (" << c << ", " << r << ") sample " << s;
                        naiveMismatches +=
                            (std::bit_cast<std::uint32_t>(nx[s]) != std::bit_cast<std::uint32_t>(lx[s])) +
                            (std::bit_cast<std::uint32_t>(ny[s]) != std::bit_cast<std::uint32_t>(ly[s]));
                    }
                    samples += static_cast<long long>(count);
                }
        }
    }
    EXPECT_GT(samples, 1000000);
    // Were the sweep blind to the difference between extended and double
    // arithmetic, agreement above would prove nothing.
    EXPECT_GT(naiveMismatches, 0) << "the sweep never meets a sum where double rounding differs";
    RecordProperty("naive_mismatches", static_cast<int>(naiveMismatches));
}

TEST(DeformCellIdentity, PixelsAndMarksMatchTheLiteralKernel)
{
    std::mt19937 rng(7);
    for (std::int32_t step : {1, 2, 5, 13, 48, 64}) {
        for (Displacement kind :
             {Displacement::None, Displacement::WithinPicture, Displacement::NearStep, Displacement::Extreme}) {
            TestModel literal;
            TestModel fast;
            TestModel portable;
            buildGridModel(literal, step);
            buildGridModel(fast, step);
            buildGridModel(portable, step);
            std::mt19937 same = rng;
            std::mt19937 again = rng;
            displace(literal, kind, rng);
            displace(fast, kind, same);
            displace(portable, kind, again);
            // Cells in queue order, as a batch would run them: later samples
            // land on earlier ones and marks keep fills off them.
            for (std::int32_t r = 0; r < literal.grid.shape().cellRows; ++r)
                for (std::int32_t c = 0; c < literal.grid.shape().cellCols; ++c) {
                    deformCellLiteral(literal.grid.sampling(), literal.picture.splatTarget(), {c, r});
                    deformCell(fast.grid.sampling(), fast.picture.splatTarget(), {c, r}, FastKernel::Best);
                    deformCell(portable.grid.sampling(), portable.picture.splatTarget(), {c, r}, FastKernel::Portable);
                }
            ASSERT_TRUE(sameBytes(literal.picture.work(), fast.picture.work())) << "step " << step;
            ASSERT_TRUE(sameBytes(literal.picture.marks(), fast.picture.marks())) << "step " << step;
            ASSERT_TRUE(sameBytes(literal.picture.work(), portable.picture.work())) << "step " << step;
        }
    }
}

} // namespace
} // namespace plexor::test
