#include "engine/parallel_deform.h"

#include <random>

#include <gtest/gtest.h>

#include "engine/deform_cell.h"
#include "engine/deform_cell_internal.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

// Every interior point moved at random within a step; with `wild`, some
// points thrown far outside the picture: past either side, so that their
// samples land at the other end of a row above or below, or so far that
// their cells are deformed whole.
void displace(DeformModel& m, std::mt19937& rng, bool wild)
{
    const std::int32_t step = m.gridStep();
    std::uniform_int_distribution<std::int32_t> within(-(step - 1), step - 1);
    std::uniform_int_distribution<int> oneIn(0, 9);
    for (std::int32_t r = 1; r + 1 < m.grid().pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m.grid().pointCols; ++c) {
            ControlPoint& p = m.point(c, r);
            p.dx = within(rng);
            p.dy = within(rng);
            if (!wild) continue;
            switch (oneIn(rng)) {
            case 0: p.dx = 2000000000; break;
            case 1: p.dx = -p.x - 3 * step; break;
            case 2: p.dx = m.imageWidth() - p.x + 2 * step; break;
            case 3: p.dy = -1900000000; break;
            default: break;
            }
        }
}

TEST(DeformCellsInParallel, GivesTheBitsOfOneCellAfterAnother)
{
    std::mt19937 rng(12);
    for (const std::int32_t step : {2, 7, 48}) {
        for (const bool wild : {false, true}) {
            DeformModel one;
            loadPicture(one, 212, 157);
            one.layGrid(step);
            displace(one, rng, wild);
            std::vector<CellRef> cells;
            for (std::int32_t r = 0; r < one.grid().cellRows; ++r)
                for (std::int32_t c = 0; c < one.grid().cellCols; ++c) cells.push_back({c, r});
            // Some cells twice, as a batch may hold them after an earlier one.
            cells.insert(cells.end(), cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(cells.size() / 3));
            for (const CellRef cell : cells) deformCell(one, cell);

            // One band a thread, and bands of about 16 columns, which cut
            // through the cells of every step and the spreads beside them.
            for (const unsigned threads : {2u, 3u, 5u})
                for (const std::size_t chunk : {std::size_t{1}, std::size_t{4}, std::size_t{0}})
                    for (const unsigned bands : {0u, 13u}) {
                        DeformModel many;
                        loadPicture(many, 212, 157);
                        many.layGrid(step);
                        for (std::size_t i = 0; i < one.points().size(); ++i) {
                            many.points()[i].dx = one.points()[i].dx.load();
                            many.points()[i].dy = one.points()[i].dy.load();
                        }
                        std::size_t reported = 0;
                        deformCellsInParallel(many, cells, {threads, chunk, bands}, [&](std::size_t done) {
                            EXPECT_GT(done, reported);
                            reported = done;
                        });
                        EXPECT_EQ(reported, cells.size());
                        ASSERT_TRUE(sameBytes(many.workImage(), one.workImage()))
                            << "step " << step << (wild ? ", wild" : "") << ", " << threads << " threads, rounds of "
                            << chunk << ", " << bands << " bands";
                        ASSERT_TRUE(sameBytes(many.splatMask(), one.splatMask()));
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
            DeformModel grey;
            loadPicture(grey, 212, 157, greyOfAlpha);
            grey.layGrid(step);
            displace(grey, rng, wild);
            std::vector<CellRef> cells;
            for (std::int32_t r = 0; r < grey.grid().cellRows; ++r)
                for (std::int32_t c = 0; c < grey.grid().cellCols; ++c) cells.push_back({c, r});
            for (const CellRef cell : cells) deformCell(grey, cell);
            const auto deformed = [&](int way) {
                auto m = std::make_unique<DeformModel>();
                loadPicture(*m, 212, 157, pattern, alpha);
                m->layGrid(step);
                for (std::size_t i = 0; i < grey.points().size(); ++i) {
                    m->points()[i].dx = grey.points()[i].dx.load();
                    m->points()[i].dy = grey.points()[i].dy.load();
                }
                if (way == 2) {
                    deformCellsInParallel(*m, cells, {3, 0, 13});
                } else {
                    for (const CellRef cell : cells)
                        way == 0 ? deformCellLiteral(*m, cell) : (void)deformCell(*m, cell);
                }
                return m;
            };
            const auto literal = deformed(0);
            for (int way = 0; way < 3; ++way) {
                const auto m = way == 0 ? nullptr : deformed(way);
                const DeformModel& tinted = m ? *m : *literal;
                ASSERT_TRUE(sameBytes(tinted.workImage(), literal->workImage())) << "way " << way;
                for (std::int32_t i = 0; i < tinted.pixelCapacity(); ++i)
                    ASSERT_EQ(tinted.workAlpha().data()[i], grey.workImage().data()[3 * i])
                        << "step " << step << (wild ? ", wild" : "") << ", way " << way << ", pixel " << i;
            }
        }
}

} // namespace
} // namespace plexor::test
