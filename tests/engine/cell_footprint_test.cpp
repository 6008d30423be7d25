#include "engine/cell_footprint.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_cell.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

bool inside(const CellFootprint& f, std::int32_t x, std::int32_t y)
{
    for (int i = 0; i < f.count; ++i)
        if (f.rects[i].contains(x, y)) return true;
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
        TestModel m;
        loadPicture(m, c.width, c.height);
        m.layGrid(c.step);
        const GridGeometry& shape = m.grid.shape();
        for (int round = 0; round < 4; ++round) {
            for (std::int32_t r = 1; r + 1 < shape.pointRows; ++r)
                for (std::int32_t col = 1; col + 1 < shape.pointCols; ++col) {
                    const ControlPoint& p = m.grid.point(col, r);
                    std::uniform_int_distribution<std::int32_t> d(-(c.step - 1), c.step - 1);
                    const std::int32_t dx = std::clamp(p.x + d(rng), 0, c.width - 1) - p.x;
                    m.displace(col, r, dx, std::clamp(p.y + d(rng), 0, c.height - 1) - p.y);
                }
            for (std::int32_t r = 0; r < shape.cellRows; ++r)
                for (std::int32_t col = 0; col < shape.cellCols; ++col) {
                    // A background no source pixel has, so that every write shows.
                    std::fill_n(m.picture.splatTarget().work, m.picture.work().colours.size(), std::uint8_t{0xFF});
                    m.picture.clearAllMarks();
                    const CellFootprint f = m.deform({col, r});
                    const CellFootprint reach = cellReach(shape, c.width, c.height, {col, r});
                    for (std::int32_t y = 0; y < c.height; ++y)
                        for (std::int32_t x = 0; x < c.width; ++x) {
                            const std::uint8_t* px =
                                m.picture.work().colours.data() + 3 * (std::size_t(y) * c.width + x);
                            if (px[0] == 0xFF && px[1] == 0xFF && px[2] == 0xFF) continue;
                            ASSERT_TRUE(inside(f, x, y))
                                << "cell (" << col << ", " << r << ") wrote (" << x << ", " << y << ") on a " << c.width
                                << " x " << c.height << " picture";
                            ASSERT_TRUE(inside(reach, x, y)) << "cell (" << col << ", " << r << ") reached (" << x
                                                             << ", " << y << ") beyond its reach";
                        }
                }
        }
    }
}

} // namespace
} // namespace plexor::test
