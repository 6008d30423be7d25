#include "engine/deform_cell.h"

#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/alpha_splat_target.h"
#include "engine/deform_cell_internal.h"
#include "engine/splat.h"
#include "engine/splat_block.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

// Whole numbers drawn evenly from a range, the same ones every run.
class Picker {
public:
    explicit Picker(unsigned seed) : rng_(seed) {}
    std::int64_t operator()(std::int64_t low, std::int64_t high)
    {
        return std::uniform_int_distribution<std::int64_t>(low, high)(rng_);
    }
    // Every byte of `bytes`, drawn from 0 to 255.
    void fill(std::vector<std::uint8_t>& bytes)
    {
        for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>((*this)(0, 255));
    }

private:
    std::mt19937 rng_;
};

void grid(TestModel& m, std::int32_t width, std::int32_t height, std::int32_t step)
{
    loadPicture(m, width, height);
    m.layGrid(step);
}

TEST(DeformCell, CoordinatesTruncateTowardZero)
{
    std::int64_t v = 99;
    ASSERT_TRUE(truncateCoordinate(-0.7f, v));
    EXPECT_EQ(v, 0) << "-0.7 lands in column 0, not -1";
    ASSERT_TRUE(truncateCoordinate(132.99998f, v));
    EXPECT_EQ(v, 132);
    EXPECT_FALSE(truncateCoordinate(3e9f, v)) << "no pixel position, no undefined conversion";
    EXPECT_FALSE(truncateCoordinate(-3e9f, v));
}

TEST(DeformCell, SplatAtIndexZeroFillsOnlyPositionsInsideTheBuffer)
{
    const std::int64_t w = 8;
    const std::int64_t capacity = w * 4 + 3;
    std::vector<std::uint8_t> work(3 * capacity, 0), mask(capacity, 0), source(3 * capacity, 0);
    source[3 * 20] = 9;
    source[3 * 20 + 1] = 8;
    source[3 * 20 + 2] = 7;
    mask[w] = 1; // marked by an earlier sample: its fill is skipped
    splatSample({work.data(), mask.data(), source.data(), capacity, w, 4}, 0, 0, 20);
    for (std::int64_t p = 0; p < capacity; ++p) {
        const bool written = work[3 * p] == 9 && work[3 * p + 1] == 8 && work[3 * p + 2] == 7;
        const bool expected = p == 0 || p == 1 || p == w - 1 || p == w + 1;
        EXPECT_EQ(written, expected) << "position " << p;
    }
    EXPECT_EQ(mask[0], 1) << "the destination is marked";
    EXPECT_EQ(mask[1], 0) << "fills are not marked";
}

TEST(DeformCell, UndisplacedGridReproducesThePictureNearlyButNotExactly)
{
    TestModel m;
    grid(m, 240, 240, 48);
    std::memset(m.picture.splatTarget().work, 0, m.picture.work().colours.size());
    const CellRef interior{2, 2};
    m.deform(interior);
    const std::uint8_t* work = m.picture.work().colours.data();
    // Every pixel of the interior cell is written, from the source.
    int moved = 0;
    for (int y = 96; y < 144; ++y)
        for (int x = 96; x < 144; ++x) {
            const std::size_t at = 3 * (static_cast<std::size_t>(y) * 240 + x);
            ASSERT_NE(m.picture.marks()[at / 3] + (work[at] | work[at + 1] | work[at + 2]), 0);
            moved += std::memcmp(work + at, m.picture.source().colours.data() + at, 3) != 0;
        }
    // Sums that fall just below a whole number truncate to the pixel before:
    // some pixels get no sample of their own and take a neighbour's colour.
    EXPECT_GT(moved, 0);
    EXPECT_LT(moved, 48 * 48 / 2);
    std::vector<float> xs(49 * 49), ys(49 * 49);
    cellCoordinatesLiteral(m.grid.sampling(), 240, 240, interior, xs.data(), ys.data());
    int below = 0;
    for (std::size_t s = 0; s < xs.size(); ++s)
        below += xs[s] < 96 + static_cast<float>(s % 49) || ys[s] < 96 + static_cast<float>(s / 49);
    EXPECT_GT(below, 0);
}

TEST(DeformCell, VirtualPointsFrameTheGrid)
{
    TestModel m;
    grid(m, 96, 96, 48); // 3 x 3 points at 0, 48, 96; 2 x 2 cells
    std::vector<float> xs(49 * 49), ys(49 * 49);
    // First sample of the first cell: the virtual column left of the grid
    // adds nothing (x = 0), so x = 0 * 4/6 + 48 * 1/6.
    cellCoordinatesLiteral(m.grid.sampling(), 96, 96, {0, 0}, xs.data(), ys.data());
    EXPECT_NEAR(xs[0], 8.0f, 1e-4f);
    EXPECT_NEAR(ys[0], 8.0f, 1e-4f);
    // Last sample of the last cell: the virtual column right of the grid
    // stands at x = 96, so x = 48 * 1/6 + 96 * 4/6 + 96 * 1/6.
    cellCoordinatesLiteral(m.grid.sampling(), 96, 96, {1, 1}, xs.data(), ys.data());
    EXPECT_NEAR(xs[48 * 49 + 48], 88.0f, 1e-4f);
    EXPECT_NEAR(ys[48 * 49 + 48], 88.0f, 1e-4f);
}

TEST(DeformCell, NeverLeavesTheBuffersWhateverTheDisplacements)
{
    // Displacements to the picture's edges and far beyond; the sanitizer
    // builds catch any stray access, the check below a stray mark.
    std::mt19937 rng(3);
    for (std::int32_t step : {1, 3, 16, 48}) {
        TestModel m;
        grid(m, 100, 60, step);
        const std::int32_t w = m.picture.width(), h = m.picture.height();
        for (int round = 0; round < 6; ++round) {
            for (std::size_t i = 0; i < m.grid.points().size(); ++i) {
                const ControlPoint& p = m.grid.points()[i];
                const std::int32_t choices[] = {-p.x, w - 1 - p.x, w - p.x, -p.x - 1, 2147483647 - p.x, -2147483647, 0};
                const std::int32_t dx = choices[std::uniform_int_distribution<int>(0, 6)(rng)];
                const std::int32_t ychoices[] = {-p.y, h - 1 - p.y, h - p.y, -p.y - 1, 2147483647 - p.y, -2147483647,
                                                 0};
                m.grid.displace(i, dx, ychoices[std::uniform_int_distribution<int>(0, 6)(rng)]);
            }
            for (std::int32_t r = 0; r < m.grid.shape().cellRows; ++r)
                for (std::int32_t c = 0; c < m.grid.shape().cellCols; ++c) {
                    m.deform({c, r});
                    deformCellLiteral(m.grid.sampling(), m.picture.splatTarget(), {c, r});
                }
        }
        EXPECT_EQ(m.picture.marks().size(), static_cast<std::size_t>(m.picture.capacity()));
    }
}

TEST(DeformCell, ACellWhoseRowsAreLongerThanABlockGivesTheLiteralBits)
{
    // A sample row of 1031 samples is splatted in pieces, from a picture
    // whose colours do not come round again along them.
    std::mt19937 rng(8);
    TestModel fast;
    TestModel literal;
    const auto colour = [](std::int32_t x, std::int32_t y) {
        return Rgb{static_cast<std::uint8_t>(x >> 3), static_cast<std::uint8_t>(x ^ y),
                   static_cast<std::uint8_t>(y >> 3)};
    };
    for (TestModel* m : {&fast, &literal}) {
        loadPicture(*m, 1036, 1034, colour);
        m->layGrid(1030);
    }
    std::uniform_int_distribution<std::int32_t> d(-300, 300);
    for (std::size_t i = 0; i < fast.grid.points().size(); ++i) {
        const std::int32_t dx = d(rng);
        const std::int32_t dy = d(rng);
        fast.grid.displace(i, dx, dy);
        literal.grid.displace(i, dx, dy);
    }
    fast.deform({0, 0});
    deformCellLiteral(literal.grid.sampling(), literal.picture.splatTarget(), {0, 0});
    EXPECT_TRUE(sameBytes(fast.picture.work(), literal.picture.work()));
    EXPECT_TRUE(sameBytes(fast.picture.marks(), literal.picture.marks()));
}

TEST(DeformCell, FastSplatMatchesThePlainOneBitForBit)
{
    // A picture of 8 x 6 pixels, so that many destinations fall on its
    // edges, beyond them and on the three pixels after the last row; random
    // pixels under random marks, several samples to a round.
    const std::int64_t w = 8;
    const std::int64_t capacity = w * 6 + 3;
    Picker pick(5);
    std::vector<std::uint8_t> source(3 * capacity), work(3 * capacity), mask(capacity);
    pick.fill(source);
    for (int round = 0; round < 300; ++round) {
        pick.fill(work);
        for (std::uint8_t& b : mask) b = pick(0, 3) == 0;
        std::vector<std::uint8_t> plainWork = work, plainMask = mask;
        for (int sample = 0; sample < 8; ++sample) {
            const std::int64_t xd = pick(-2, w + 1);
            const std::int64_t yd = pick(-2, 7);
            const std::int64_t src = pick(-1, capacity);
            splatSample({work.data(), mask.data(), source.data(), capacity, w, 6}, xd, yd, src);
            splatSamplePlain({plainWork.data(), plainMask.data(), source.data(), capacity, w, 6}, xd, yd, src);
        }
        ASSERT_EQ(work, plainWork) << "round " << round;
        ASSERT_EQ(mask, plainMask) << "round " << round;
    }
}

TEST(DeformCell, ABlockSplatsAsItsSamplesDoOneAfterAnother)
{
    // Blocks of samples crowded onto a picture of 9 x 7 pixels, so that
    // their squares overlap, meet earlier marks and the buffer's ends, and
    // some land twice on one pixel; with alpha and without, over the whole
    // width and over a band, against the plain splat of one sample after
    // another, which a band must match in its own columns only.
    const std::int64_t w = 9;
    const std::int64_t capacity = w * 7 + 3;
    Picker pick(11);
    std::vector<std::uint8_t> source(3 * capacity), sourceAlpha(capacity);
    pick.fill(source);
    pick.fill(sourceAlpha);
    for (int round = 0; round < 400; ++round) {
        const bool alpha = round % 2 == 1;
        const SplatBand band =
            round % 4 < 2 ? SplatBand{0, static_cast<std::int32_t>(w)}
                          : SplatBand{static_cast<std::int32_t>(pick(0, 4)), static_cast<std::int32_t>(pick(5, w))};
        std::vector<std::uint8_t> work(3 * capacity), workAlpha(capacity), mask(capacity);
        pick.fill(work);
        pick.fill(workAlpha);
        for (std::uint8_t& b : mask) b = pick(0, 5) == 0;
        const std::vector<std::uint8_t> workBefore = work, alphaBefore = workAlpha, maskBefore = mask;
        std::vector<std::uint8_t> plainWork = work, plainAlpha = workAlpha, plainMask = mask;
        const std::int64_t rows = pick(1, 4), perRow = pick(1, 7);
        std::vector<std::int32_t> dests(static_cast<std::size_t>(rows * perRow));
        for (std::int32_t& d : dests) d = static_cast<std::int32_t>(pick(0, 9) == 0 ? -1 : pick(0, capacity - 1));
        const SplatBlock block{dests.data(), rows, perRow, pick(0, 20), 10};
        // The picture over these buffers, with its alpha in alpha's rounds.
        const auto over = [&](std::vector<std::uint8_t>& onto, std::vector<std::uint8_t>& marks,
                              std::vector<std::uint8_t>& ontoAlpha) {
            return SplatTarget{onto.data(),
                               marks.data(),
                               source.data(),
                               capacity,
                               w,
                               capacity / w,
                               alpha ? ontoAlpha.data() : nullptr,
                               alpha ? sourceAlpha.data() : nullptr};
        };
        const SplatTarget target = over(work, mask, workAlpha);
        withSplatPlanes(target, [&](const auto& planes) { splatBlock(planes, band, block, false); });
        const SplatTarget plain = over(plainWork, plainMask, plainAlpha);
        block.forEachSample(
            [&](std::int64_t dest, std::int64_t src) { splatSamplePlain(plain, dest % w, dest / w, src); });
        for (std::int64_t p = 0; p < capacity; ++p) {
            const auto at = static_cast<std::size_t>(p);
            const bool owned = band.owns(p % w);
            const auto& expectWork = owned ? plainWork : workBefore;
            ASSERT_EQ(std::memcmp(&work[3 * at], &expectWork[3 * at], 3), 0) << "round " << round << " pixel " << p;
            ASSERT_EQ(mask[at], (owned ? plainMask : maskBefore)[at]) << "round " << round << " pixel " << p;
            ASSERT_EQ(workAlpha[at], (owned && alpha ? plainAlpha : alphaBefore)[at]) << "round " << round;
        }
    }
}

} // namespace
} // namespace plexor::test
