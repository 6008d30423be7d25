#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/grid_laying.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

struct GridCase {
    int width, height, step;
    int pointCols, pointRows, cellCount, marginX, marginY;
    int firstX, firstY, lastX, lastY;
};

class GridShapes : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridShapes, CountsMarginsAndPositions)
{
    const GridCase g = GetParam();
    TestModel model;
    loadPicture(model, g.width, g.height);
    for (int build = 0; build < 2; ++build) { // a second build gives the same grid
        model.layGrid(g.step);
        EXPECT_EQ(model.grid.shape().pointCols, g.pointCols);
        EXPECT_EQ(model.grid.shape().pointRows, g.pointRows);
        EXPECT_EQ(model.grid.shape().cellCols, g.pointCols - 1);
        EXPECT_EQ(model.grid.shape().cellRows, g.pointRows - 1);
        EXPECT_EQ(model.grid.shape().cellCount, g.cellCount);
        EXPECT_EQ(model.grid.shape().marginX, g.marginX);
        EXPECT_EQ(model.grid.shape().marginY, g.marginY);
        ASSERT_EQ(model.grid.points().size(), static_cast<std::size_t>(g.pointCols * g.pointRows));
        const ControlPoint& first = model.grid.points().front();
        const ControlPoint& last = model.grid.points().back();
        EXPECT_EQ(first.x, g.firstX);
        EXPECT_EQ(first.y, g.firstY);
        EXPECT_EQ(last.x, g.lastX);
        EXPECT_EQ(last.y, g.lastY);
        for (int r = 0; r < model.grid.shape().pointRows; ++r)
            for (int c = 0; c < model.grid.shape().pointCols; ++c) {
                const ControlPoint& p = model.grid.point(c, r);
                ASSERT_EQ(p.x, g.marginX + c * g.step);
                ASSERT_EQ(p.y, g.marginY + r * g.step);
                ASSERT_EQ(p.dx, 0);
                ASSERT_EQ(p.dy, 0);
                ASSERT_EQ(p.picked, 0);
            }
    }
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, GridShapes,
                         ::testing::Values(GridCase{96, 72, 48, 3, 2, 2, 0, 12, 0, 12, 96, 60},
                                           GridCase{100, 100, 13, 8, 8, 49, 4, 4, 4, 4, 95, 95},
                                           GridCase{100, 100, 48, 3, 3, 4, 2, 2, 2, 2, 98, 98},
                                           GridCase{480, 480, 48, 11, 11, 100, 0, 0, 0, 0, 480, 480},
                                           GridCase{8, 8, 1, 9, 9, 64, 0, 0, 0, 0, 8, 8},
                                           GridCase{100, 100, 200, 1, 1, 0, 50, 50, 50, 50, 50, 50},
                                           GridCase{0, 0, 48, 1, 1, 0, 0, 0, 0, 0, 0, 0}));

// Which pixels blackOutMargins turned black, for a picture of all-white
// pixels: '#' black, '.' untouched.
bool isBlack(const TestModel& m, int x, int y)
{
    const std::uint8_t* p = m.picture.work().colours.data() + 3 * (static_cast<std::size_t>(y) * m.picture.width() + x);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

void prepareWhite(TestModel& m, int width, int height, int step)
{
    loadPicture(m, width, height, [](int, int) { return Rgb{255, 255, 255}; });
    m.layGrid(step);
}

template <class Expect>
void expectBands(const TestModel& m, Expect blackAt)
{
    for (int y = 0; y < m.picture.height(); ++y)
        for (int x = 0; x < m.picture.width(); ++x)
            ASSERT_EQ(isBlack(m, x, y), blackAt(x, y)) << "pixel (" << x << ", " << y << ")";
}

TEST(BlackOutMargins, PaintsOnlyTheBandsOutsideTheGrid)
{
    TestModel m;
    prepareWhite(m, 96, 72, 48);
    expectBands(m, [](int, int y) { return y <= 11 || y >= 60; });

    prepareWhite(m, 100, 100, 13);
    // Odd remainders: the last row and the last column keep the picture.
    expectBands(m, [](int x, int y) {
        if (y <= 3 || (y >= 95 && y <= 98)) return true;
        if (y >= 4 && y <= 94) return x <= 3 || (x >= 95 && x <= 98);
        return false;
    });

    prepareWhite(m, 100, 100, 48);
    expectBands(m, [](int x, int y) { return !(x >= 2 && x <= 97 && y >= 2 && y <= 97); });

    prepareWhite(m, 480, 480, 48);
    expectBands(m, [](int, int) { return false; });
}

TEST(BlackOutMargins, StepLargerThanThePicture)
{
    TestModel m;
    prepareWhite(m, 100, 100, 200);
    expectBands(m, [](int, int) { return true; });
    prepareWhite(m, 100, 101, 200);
    expectBands(m, [](int, int y) { return y != 100; });
}

TEST(BlackOutMargins, TouchesNothingWithoutBuffers)
{
    TestModel m;
    m.layGrid(48); // no picture: nothing to paint, and no crash
    EXPECT_TRUE(m.picture.work().empty());
    EXPECT_EQ(m.grid.points().size(), 1u);
}

TEST(ResetGrid, RestoresPositionsAndPicture)
{
    TestModel m;
    loadPicture(m, 100, 100, [](int x, int y) { return Rgb{std::uint8_t(x), std::uint8_t(y), 7}; });
    m.layGrid(13);
    m.displace(3, 4, 5, -6);
    m.grid.setPicked(m.grid.index(3, 4), true);
    std::memset(m.picture.splatTarget().work, 0x77, m.picture.work().colours.size());

    resetGrid(m.grid, m.picture, m.work);
    for (int r = 0; r < m.grid.shape().pointRows; ++r)
        for (int c = 0; c < m.grid.shape().pointCols; ++c) {
            const ControlPoint& q = m.grid.point(c, r);
            ASSERT_EQ(q.x, 4 + 13 * c);
            ASSERT_EQ(q.y, 4 + 13 * r);
            ASSERT_EQ(q.dx, 0);
            ASSERT_EQ(q.dy, 0);
            ASSERT_EQ(q.picked, 0);
        }
    // The picture is the source again inside the grid, black in the bands.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const std::size_t at = 3 * (static_cast<std::size_t>(y) * 100 + x);
            const bool band = y <= 3 || (y >= 95 && y <= 98) || (y <= 94 && (x <= 3 || (x >= 95 && x <= 98)));
            if (band)
                ASSERT_TRUE(isBlack(m, x, y)) << x << "," << y;
            else
                ASSERT_EQ(0,
                          std::memcmp(m.picture.work().colours.data() + at, m.picture.source().colours.data() + at, 3))
                    << x << "," << y;
        }
}

} // namespace
} // namespace plexor::test
