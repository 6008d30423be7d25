#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/deform_model.h"
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
    DeformModel model;
    LoadPicture(model, g.width, g.height);
    model.GridStepX = model.GridStepY = g.step;
    for (int build = 0; build < 2; ++build) { // a second build gives the same grid
        model.BuildGrid();
        EXPECT_EQ(model.PointCols(), g.pointCols);
        EXPECT_EQ(model.PointRows(), g.pointRows);
        EXPECT_EQ(model.CellCols(), g.pointCols - 1);
        EXPECT_EQ(model.CellRows(), g.pointRows - 1);
        EXPECT_EQ(model.CellCount(), g.cellCount);
        EXPECT_EQ(model.MarginX(), g.marginX);
        EXPECT_EQ(model.MarginY(), g.marginY);
        ASSERT_EQ(model.ControlPoints.size(), static_cast<std::size_t>(g.pointCols * g.pointRows));
        const TControlPoint& first = model.ControlPoints.front();
        const TControlPoint& last = model.ControlPoints.back();
        EXPECT_EQ(first.X, g.firstX);
        EXPECT_EQ(first.Y, g.firstY);
        EXPECT_EQ(last.X, g.lastX);
        EXPECT_EQ(last.Y, g.lastY);
        for (int r = 0; r < model.PointRows(); ++r)
            for (int c = 0; c < model.PointCols(); ++c) {
                const TControlPoint& p = model.Point(c, r);
                ASSERT_EQ(p.X, g.marginX + c * g.step);
                ASSERT_EQ(p.Y, g.marginY + r * g.step);
                ASSERT_EQ(p.DX, 0);
                ASSERT_EQ(p.DY, 0);
                ASSERT_EQ(p.Selected, 0);
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

// Which pixels BlackOutMargins turned black, for a picture of all-white
// pixels: '#' black, '.' untouched.
bool IsBlack(const DeformModel& m, int x, int y)
{
    const std::uint8_t* p = m.WorkImage.data() + 3 * (static_cast<std::size_t>(y) * m.ImageWidth + x);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

void PrepareWhite(DeformModel& m, int width, int height, int step)
{
    LoadPicture(m, width, height, [](int, int) { return Rgb{255, 255, 255}; });
    m.GridStepX = m.GridStepY = step;
    m.BuildGrid();
    m.BlackOutMargins();
}

template <class Expect>
void ExpectBands(const DeformModel& m, Expect blackAt)
{
    for (int y = 0; y < m.ImageHeight; ++y)
        for (int x = 0; x < m.ImageWidth; ++x)
            ASSERT_EQ(IsBlack(m, x, y), blackAt(x, y)) << "pixel (" << x << ", " << y << ")";
}

TEST(BlackOutMargins, PaintsOnlyTheBandsOutsideTheGrid)
{
    DeformModel m;
    PrepareWhite(m, 96, 72, 48);
    ExpectBands(m, [](int, int y) { return y <= 11 || y >= 60; });

    PrepareWhite(m, 100, 100, 13);
    // Odd remainders: the last row and the last column keep the picture.
    ExpectBands(m, [](int x, int y) {
        if (y <= 3 || (y >= 95 && y <= 98)) return true;
        if (y >= 4 && y <= 94) return x <= 3 || (x >= 95 && x <= 98);
        return false;
    });

    PrepareWhite(m, 100, 100, 48);
    ExpectBands(m, [](int x, int y) { return !(x >= 2 && x <= 97 && y >= 2 && y <= 97); });

    PrepareWhite(m, 480, 480, 48);
    ExpectBands(m, [](int, int) { return false; });
}

TEST(BlackOutMargins, StepLargerThanThePicture)
{
    DeformModel m;
    PrepareWhite(m, 100, 100, 200);
    ExpectBands(m, [](int, int) { return true; });
    PrepareWhite(m, 100, 101, 200);
    ExpectBands(m, [](int, int y) { return y != 100; });
}

TEST(BlackOutMargins, TouchesNothingWithoutBuffers)
{
    DeformModel m;
    m.GridStepX = m.GridStepY = 48;
    m.BuildGrid();
    m.BlackOutMargins(); // no picture: nothing to paint, and no crash
    EXPECT_TRUE(m.WorkImage.empty());
    EXPECT_EQ(m.ControlPoints.size(), 1u);
}

TEST(ResetGrid, RestoresPositionsAndPicture)
{
    DeformModel m;
    LoadPicture(m, 100, 100, [](int x, int y) { return Rgb{std::uint8_t(x), std::uint8_t(y), 7}; });
    m.GridStepX = m.GridStepY = 13;
    m.BuildGrid();
    TControlPoint& p = m.Point(3, 4);
    p.DX = 5;
    p.DY = -6;
    p.Selected = 1;
    std::memset(m.WorkImage.data(), 0x77, m.WorkImage.size());

    m.ResetGrid();
    for (int r = 0; r < m.PointRows(); ++r)
        for (int c = 0; c < m.PointCols(); ++c) {
            const TControlPoint& q = m.Point(c, r);
            ASSERT_EQ(q.X, 4 + 13 * c);
            ASSERT_EQ(q.Y, 4 + 13 * r);
            ASSERT_EQ(q.DX, 0);
            ASSERT_EQ(q.DY, 0);
            ASSERT_EQ(q.Selected, 0);
        }
    // The picture is the source again inside the grid, black in the bands.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const std::size_t at = 3 * (static_cast<std::size_t>(y) * 100 + x);
            const bool band = y <= 3 || (y >= 95 && y <= 98) || (y <= 94 && (x <= 3 || (x >= 95 && x <= 98)));
            if (band)
                ASSERT_TRUE(IsBlack(m, x, y)) << x << "," << y;
            else
                ASSERT_EQ(0, std::memcmp(m.WorkImage.data() + at, m.SourceImage.data() + at, 3)) << x << "," << y;
        }
}

} // namespace
} // namespace plexor::test
