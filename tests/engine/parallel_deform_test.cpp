#include "engine/parallel_deform.h"

#include <algorithm>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "engine/cell_pool.h"
#include "engine/deform_cell.h"
#include "engine/deform_cell_internal.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

// Every interior point moved at random within a step; with `wild`, some
// points thrown far outside the picture: past either side, so that their
// samples land at the other end of a row above or below, or so far that
// their cells are deformed whole.
void displace(TestModel& m, std::mt19937& rng, bool wild)
{
    const std::int32_t step = m.grid.step();
    std::uniform_int_distribution<std::int32_t> within(-(step - 1), step - 1);
    std::uniform_int_distribution<int> oneIn(0, 9);
    for (std::int32_t r = 1; r + 1 < m.grid.shape().pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m.grid.shape().pointCols; ++c) {
            const ControlPoint& p = m.grid.point(c, r);
            std::int32_t dx = within(rng);
            std::int32_t dy = within(rng);
            if (wild) {
                switch (oneIn(rng)) {
                case 0: dx = 2000000000; break;
                case 1: dx = -p.x - 3 * step; break;
                case 2: dx = m.picture.width() - p.x + 2 * step; break;
                case 3: dy = -1900000000; break;
                default: break;
                }
            }
            m.displace(c, r, dx, dy);
        }
}

// Gives `to` the displacements of `from`, a grid of the same shape.
void copyDisplacements(const TestModel& from, TestModel& to)
{
    for (std::size_t i = 0; i < from.grid.points().size(); ++i)
        to.grid.displace(i, from.grid.points()[i].dx, from.grid.points()[i].dy);
}

TEST(DeformCellsInParallel, GivesTheBitsOfOneCellAfterAnother)
{
    std::mt19937 rng(12);
    for (const std::int32_t step : {2, 7, 48}) {
        for (const bool wild : {false, true}) {
            TestModel one;
            loadPicture(one, 212, 157);
            one.layGrid(step);
            displace(one, rng, wild);
            std::vector<CellRef> cells;
            for (std::int32_t r = 0; r < one.grid.shape().cellRows; ++r)
                for (std::int32_t c = 0; c < one.grid.shape().cellCols; ++c) cells.push_back({c, r});
            // Some cells twice, as a batch may hold them after an earlier one.
            cells.insert(cells.end(), cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(cells.size() / 3));
            for (const CellRef cell : cells) one.deform(cell);

            // One band a thread, and bands of about 16 columns, which cut
            // through the cells of every step and the spreads beside them.
            for (const unsigned threads : {2u, 3u, 5u})
                for (const std::size_t chunk : {std::size_t{1}, std::size_t{4}, std::size_t{0}})
                    for (const unsigned bands : {0u, 13u}) {
                        TestModel many;
                        loadPicture(many, 212, 157);
                        many.layGrid(step);
                        copyDisplacements(one, many);
                        std::size_t reported = 0;
                        deformCellsInParallel(many.grid.sampling(), many.picture.splatTarget(), cells,
                                              {threads, chunk, bands}, [&](std::size_t done) {
                                                  EXPECT_GT(done, reported);
                                                  reported = done;
                                              });
                        EXPECT_EQ(reported, cells.size());
                        ASSERT_TRUE(sameBytes(many.picture.work(), one.picture.work()))
                            << "step " << step << (wild ? ", wild" : "") << ", " << threads << " threads, rounds of "
                            << chunk << ", " << bands << " bands";
                        ASSERT_TRUE(sameBytes(many.picture.marks(), one.picture.marks()));
                    }
        }
    }
}

// A picture's alpha is deformed as a grey picture of its values would be,
// by the literal kernel, the fast one and the parallel splat alike.
TEST(DeformCellsInParallel, MovesAlphaAsAGreyPictureOfItsValues)
{
    const auto alpha = [](std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>((x * 7 + y * 13) % 256); };
    const auto greyOfAlpha = [&](std::int32_t x, std::int32_t y) {
        const std::uint8_t a = alpha(x, y);
        return Rgb{a, a, a};
    };
    std::mt19937 rng(5);
    for (const std::int32_t step : {7, 48})
        for (const bool wild : {false, true}) {
            TestModel grey;
            loadPicture(grey, 212, 157, greyOfAlpha);
            grey.layGrid(step);
            displace(grey, rng, wild);
            std::vector<CellRef> cells;
            for (std::int32_t r = 0; r < grey.grid.shape().cellRows; ++r)
                for (std::int32_t c = 0; c < grey.grid.shape().cellCols; ++c) cells.push_back({c, r});
            for (const CellRef cell : cells) grey.deform(cell);
            const auto deformed = [&](int way) {
                auto m = std::make_unique<TestModel>();
                loadPicture(*m, 212, 157, pattern, alpha);
                m->layGrid(step);
                copyDisplacements(grey, *m);
                if (way == 2) {
                    deformCellsInParallel(m->grid.sampling(), m->picture.splatTarget(), cells, {3, 0, 13});
                } else {
                    for (const CellRef cell : cells)
                        way == 0 ? deformCellLiteral(m->grid.sampling(), m->picture.splatTarget(), cell)
                                 : (void)m->deform(cell);
                }
                return m;
            };
            const auto literal = deformed(0);
            for (int way = 0; way < 3; ++way) {
                const auto m = way == 0 ? nullptr : deformed(way);
                const TestModel& tinted = m ? *m : *literal;
                ASSERT_TRUE(sameBytes(tinted.picture.work().colours, literal->picture.work().colours)) << "way " << way;
                for (std::int32_t i = 0; i < tinted.picture.capacity(); ++i)
                    ASSERT_EQ(tinted.picture.work().alpha[i], grey.picture.work().colours[3 * i])
                        << "step " << step << (wild ? ", wild" : "") << ", way " << way << ", pixel " << i;
            }
        }
}

// Rendered smoothly, a batch with folds and cells given twice gives the same
// bits on any number of threads, in any rounds and bands; the pixels it
// changes lie inside what each cell reports; and no splat mark is set.
TEST(DeformCellsInParallel, RendersSmoothlyWithTheSameBitsOnAnyNumberOfThreads)
{
    std::mt19937 rng(31);
    TestModel exact;
    loadPicture(exact, 212, 157, pattern, [](std::int32_t x, std::int32_t y) { return std::uint8_t(x * 5 + y); });
    exact.layGrid(19);
    displace(exact, rng, false);
    std::vector<CellRef> cells;
    for (std::int32_t r = 0; r < exact.grid.shape().cellRows; ++r)
        for (std::int32_t c = 0; c < exact.grid.shape().cellCols; ++c) cells.push_back({c, r});
    cells.insert(cells.end(), cells.rbegin(), cells.rbegin() + 20);
    deformCellsInParallel(exact.grid.sampling(), exact.picture.splatTarget(), cells, {1});
    std::vector<std::uint8_t> first;
    for (const unsigned threads : {1u, 2u, 3u})
        for (const unsigned bands : {0u, 13u}) {
            TestModel m;
            loadPicture(m, 212, 157, pattern, [](std::int32_t x, std::int32_t y) { return std::uint8_t(x * 5 + y); });
            m.layGrid(19);
            copyDisplacements(exact, m);
            m.grid.setResampling(Resampling::Smooth);
            const ByteBuffer& work = m.picture.work().colours;
            const std::vector<std::uint8_t> before(work.data(), work.data() + work.size());
            RectSet reported;
            CellPool(threads, bands)
                .deform(
                    m.grid.sampling(), m.picture.splatTarget(), cells,
                    [&](std::size_t, const CellFootprint& written) {
                        for (int i = 0; i < written.count; ++i) reported.add(written.rects[i]);
                    },
                    7);
            for (std::int32_t i = 0; i < m.picture.width() * m.picture.height(); ++i) {
                const bool changed = std::memcmp(work.data() + 3 * i, before.data() + 3 * i, 3) != 0;
                const std::int32_t x = i % m.picture.width(), y = i / m.picture.width();
                ASSERT_TRUE(!changed || std::any_of(reported.begin(), reported.end(),
                                                    [&](const PixelRect& r) { return r.contains(x, y); }))
                    << "pixel " << x << ", " << y;
                ASSERT_EQ(m.picture.marks()[i], 0);
            }
            std::vector<std::uint8_t> bytes(work.data(), work.data() + work.size());
            bytes.insert(bytes.end(), m.picture.work().alpha.data(),
                         m.picture.work().alpha.data() + m.picture.work().alpha.size());
            if (first.empty()) {
                first = bytes;
                EXPECT_FALSE(sameBytes(m.picture.work(), exact.picture.work())) << "rendered smoothly";
            }
            ASSERT_TRUE(bytes == first) << threads << " threads, " << bands << " bands";
        }
}

// A deep picture's high bytes become exactly what the 8-bit picture of them
// becomes, and its low bytes what a picture of the low bytes becomes, alpha
// and all, through a pass laid over the result too.
TEST(DeformCellsInParallel, MovesADeepPicturesLowBytesWithItsHighOnes)
{
    const auto alpha = [](std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>((x * 7 + y * 13) % 256); };
    const auto low = [](std::int32_t x, std::int32_t y) {
        return Rgb{static_cast<std::uint8_t>(x * 5 + y), static_cast<std::uint8_t>(y * 3),
                   static_cast<std::uint8_t>(x ^ y)};
    };
    const auto lowAlpha = [](std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>(x * y % 251); };
    std::mt19937 rng(9);
    for (const bool parallel : {false, true}) {
        TestModel deep, high, lows;
        loadPicture(deep.picture, 212, 157, pattern, alpha, low, lowAlpha);
        loadPicture(high.picture, 212, 157, pattern, alpha);
        loadPicture(lows.picture, 212, 157, low, lowAlpha);
        for (TestModel* m : {&deep, &high, &lows}) m->layGrid(7);
        for (int pass = 0; pass < 2; ++pass) {
            displace(high, rng, pass == 1);
            for (TestModel* m : {&deep, &lows}) copyDisplacements(high, *m);
            std::vector<CellRef> cells;
            for (std::int32_t r = 0; r < high.grid.shape().cellRows; ++r)
                for (std::int32_t c = 0; c < high.grid.shape().cellCols; ++c) cells.push_back({c, r});
            for (TestModel* m : {&deep, &high, &lows}) {
                if (parallel)
                    deformCellsInParallel(m->grid.sampling(), m->picture.splatTarget(), cells, {3, 0, 13});
                else
                    for (const CellRef cell : cells) m->deform(cell);
                if (pass == 0) {
                    ASSERT_FALSE(m->picture.keepOpened(std::uint64_t{1} << 40));
                    m->picture.beginPassOverResult();
                }
            }
            const PixelPlanes& result = deep.picture.work();
            ASSERT_TRUE(sameBytes(result.colours, high.picture.work().colours)) << "pass " << pass;
            ASSERT_TRUE(sameBytes(result.alpha, high.picture.work().alpha));
            ASSERT_TRUE(sameBytes(result.low, lows.picture.work().colours)) << "pass " << pass;
            ASSERT_TRUE(sameBytes(result.alphaLow, lows.picture.work().alpha));
        }
    }
}

// Rendered smoothly, a deep picture whose points all moved by the same whole
// step is shifted exactly, its low bytes with its high ones.
TEST(DeformCellsInParallel, ShiftsADeepPicturesLowBytesSmoothly)
{
    const auto low = [](std::int32_t x, std::int32_t y) {
        return Rgb{static_cast<std::uint8_t>(x * 5 + y), static_cast<std::uint8_t>(y * 3),
                   static_cast<std::uint8_t>(x ^ y)};
    };
    TestModel m;
    loadPicture(m.picture, 212, 157, pattern, {}, low);
    m.layGrid(16);
    m.grid.setResampling(Resampling::Smooth);
    const std::int32_t dx = 3, dy = -2;
    for (std::size_t i = 0; i < m.grid.points().size(); ++i) m.grid.displace(i, dx, dy);
    std::vector<CellRef> cells;
    for (std::int32_t r = 0; r < m.grid.shape().cellRows; ++r)
        for (std::int32_t c = 0; c < m.grid.shape().cellCols; ++c) cells.push_back({c, r});
    deformCellsInParallel(m.grid.sampling(), m.picture.splatTarget(), cells, {2});
    const PixelPlanes& work = m.picture.work();
    const PixelPlanes& source = m.picture.source();
    const std::int32_t w = m.picture.width();
    for (std::int32_t y = 40; y < 117; ++y)
        for (std::int32_t x = 40; x < 170; ++x) {
            const auto at = static_cast<std::size_t>(3 * (y * w + x));
            const auto from = static_cast<std::size_t>(3 * ((y - dy) * w + x - dx));
            for (std::size_t k = 0; k < 3; ++k) {
                ASSERT_EQ(work.colours.data()[at + k], source.colours.data()[from + k]) << x << ", " << y;
                ASSERT_EQ(work.low.data()[at + k], source.low.data()[from + k]) << x << ", " << y;
            }
        }
}

} // namespace
} // namespace plexor::test
