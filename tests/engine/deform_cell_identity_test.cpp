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
#include "engine/deform_model.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

enum class Displacement { None, WithinPicture, NearStep, Extreme };

void displace(DeformModel& m, Displacement kind, std::mt19937& rng)
{
    const std::int32_t limit = (1 << 29) - 1;
    for (ControlPoint& p : m.points()) {
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        switch (kind) {
        case Displacement::None: break;
        case Displacement::WithinPicture: // where a drag may put a point
            dx = std::uniform_int_distribution<std::int32_t>(0, m.imageWidth() - 1)(rng) - p.x;
            dy = std::uniform_int_distribution<std::int32_t>(0, m.imageHeight() - 1)(rng) - p.y;
            break;
        case Displacement::NearStep: {
            std::uniform_int_distribution<std::int32_t> d(-m.gridStep(), m.gridStep());
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
        p.dx = dx;
        p.dy = dy;
    }
}

void buildGridModel(DeformModel& m, std::int32_t step)
{
    const std::int32_t width = (3 * step + step / 2 + 1 + 3) / 4 * 4;
    const std::int32_t height = 3 * step + step / 3 + 1;
    loadPicture(m, width, height);
    m.layGrid(step);
}

// The naive way to go faster: double sums rounded straight to float. It is
// not always the literal result; the sweep below must be able to see that.
void naiveDoubleCoordinates(const DeformModel& m, CellRef cell, float* xs, float* ys)
{
    const std::int32_t n = m.samplesPerCell();
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = 0; j <= n; ++j) {
            float x = 0.0f;
            float y = 0.0f;
            for (int k = 0; k < 4; ++k)
                for (int l = 0; l < 4; ++l) {
                    const int pr = cell.row + k - 1;
                    const int pc = cell.col + l - 1;
                    const double w = m.tables().weights()[16 * (static_cast<std::size_t>(i) * (n + 1) + j) + 4 * k + l];
                    const ControlPoint& z =
                        m.point(std::clamp(pc, 0, m.grid().pointCols - 1), std::clamp(pr, 0, m.grid().pointRows - 1));
                    if (pc >= 0 && pc < m.grid().pointCols)
                        x = static_cast<float>(x + double(std::int64_t{z.x} + z.dx) * w);
                    else if (pc >= m.grid().pointCols)
                        x = static_cast<float>(x + double(m.imageWidth()) * w);
                    if (pr >= 0 && pr < m.grid().pointRows)
                        y = static_cast<float>(y + double(std::int64_t{z.y} + z.dy) * w);
                    else if (pr >= m.grid().pointRows)
                        y = static_cast<float>(y + double(m.imageHeight()) * w);
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
        DeformModel m;
        buildGridModel(m, step);
        const std::size_t count = static_cast<std::size_t>(step + 1) * (step + 1);
        std::vector<float> lx(count), ly(count), fx(count), fy(count), px(count), py(count), vx(count), vy(count),
            nx(count), ny(count);
        for (Displacement kind : kinds) {
            displace(m, kind, rng);
            for (std::int32_t r = 0; r < m.grid().cellRows; ++r)
                for (std::int32_t c = 0; c < m.grid().cellCols; ++c) {
                    cellCoordinatesLiteral(m, {c, r}, lx.data(), ly.data());
                    cellCoordinatesFast(m, {c, r}, fx.data(), fy.data(), FastKernel::Best);
                    cellCoordinatesFast(m, {c, r}, px.data(), py.data(), FastKernel::Portable);
                    if (fastKernelAvailable(FastKernel::Avx2)) {
                        cellCoordinatesFast(m, {c, r}, vx.data(), vy.data(), FastKernel::Avx2);
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
            DeformModel literal;
            DeformModel fast;
            DeformModel portable;
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
            for (std::int32_t r = 0; r < literal.grid().cellRows; ++r)
                for (std::int32_t c = 0; c < literal.grid().cellCols; ++c) {
                    deformCellLiteral(literal, {c, r});
                    deformCell(fast, {c, r}, FastKernel::Best);
                    deformCell(portable, {c, r}, FastKernel::Portable);
                }
            ASSERT_EQ(0, std::memcmp(literal.workImage().data(), fast.workImage().data(), literal.workImage().size()))
                << "step " << step;
            ASSERT_EQ(0, std::memcmp(literal.splatMask().data(), fast.splatMask().data(), literal.splatMask().size()))
                << "step " << step;
            ASSERT_EQ(0,
                      std::memcmp(literal.workImage().data(), portable.workImage().data(), literal.workImage().size()))
                << "step " << step;
        }
    }
}

} // namespace
} // namespace plexor::test
