#include "engine/cell_footprint.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_cell.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

bool Inside(const CellFootprint& f, std::int32_t x, std::int32_t y)
{
    for (int i = 0; i < f.Count; ++i)
        if (f.Rects[i].Contains(x, y)) return true;
    return false;
}

// Every pixel a cell's deformation writes lies within the footprint it
// returns, and within the reach any displacement a drag allows gives it:
// over grids whose last point column and row lie on the picture's
// edge (where samples land past the last column and wrap to the next row)
// and grids with margins, with displacements a drag allows.
TEST(CellFootprint, HoldsEveryPixelTheCellWrites)
{
    std::mt19937 rng(5);
    struct Case {
        std::int32_t width, height, step;
    };
    for (const Case c : {Case{96, 72, 24}, Case{100, 90, 13}, Case{48, 48, 48}, Case{8, 6, 2}}) {
        DeformModel m;
        LoadPicture(m, c.width, c.height);
        m.LayGrid(c.step);
        for (int round = 0; round < 4; ++round) {
            for (std::int32_t r = 1; r + 1 < m.PointRows(); ++r)
                for (std::int32_t col = 1; col + 1 < m.PointCols(); ++col) {
                    TControlPoint& p = m.Point(col, r);
                    std::uniform_int_distribution<std::int32_t> d(-(c.step - 1), c.step - 1);
                    p.DX = std::clamp(p.X + d(rng), 0, c.width - 1) - p.X;
                    p.DY = std::clamp(p.Y + d(rng), 0, c.height - 1) - p.Y;
                }
            for (std::int32_t r = 0; r < m.CellRows(); ++r)
                for (std::int32_t col = 0; col < m.CellCols(); ++col) {
                    // A background no source pixel has, so that every write shows.
                    std::fill(m.WorkImage.data(), m.WorkImage.data() + m.WorkImage.size(), std::uint8_t{0xFF});
                    std::fill(m.SplatMask.data(), m.SplatMask.data() + m.SplatMask.size(), std::uint8_t{0});
                    const CellFootprint f = DeformCell(m, {col, r});
                    const CellFootprint reach = CellReach(m, {col, r});
                    for (std::int32_t y = 0; y < c.height; ++y)
                        for (std::int32_t x = 0; x < c.width; ++x) {
                            const std::uint8_t* px = m.WorkImage.data() + 3 * (std::size_t(y) * c.width + x);
                            if (px[0] == 0xFF && px[1] == 0xFF && px[2] == 0xFF) continue;
                            ASSERT_TRUE(Inside(f, x, y))
                                << "cell (" << col << ", " << r << ") wrote (" << x << ", " << y << ") on a " << c.width
                                << " x " << c.height << " picture";
                        }
                }
        }
    }
}

} // namespace
} // namespace plexor::test
