#include "editor/draw_marker.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace plexor::test {
namespace {

constexpr Colour kInk{9, 8, 7};
constexpr int kW = 12, kH = 10;

// The columns and rows a marker covers, read back from the picture; also
// checks that it is a filled rectangle.
struct Covered {
    int left = 0, right = -1, top = 0, bottom = -1; // inclusive; empty when right < left

    friend bool operator==(const Covered&, const Covered&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Covered& c)
    {
        return out << "columns " << c.left << ".." << c.right << ", rows " << c.top << ".." << c.bottom;
    }
};

Covered markerAt(std::int32_t x, std::int32_t y)
{
    TestCanvas canvas(kW, kH);
    drawMarker(canvas.view, x, y, kInk);
    EXPECT_TRUE(canvas.guardIntact()) << "marker at " << x << ", " << y;
    const auto painted = canvas.painted();
    Covered c;
    if (painted.empty()) return c;
    c = Covered{kW, -1, kH, -1};
    for (auto [px, py] : painted) {
        c.left = std::min(c.left, px);
        c.right = std::max(c.right, px);
        c.top = std::min(c.top, py);
        c.bottom = std::max(c.bottom, py);
        EXPECT_EQ(canvas.at(px, py), kInk);
    }
    EXPECT_EQ(painted.size(), static_cast<std::size_t>((c.right - c.left + 1) * (c.bottom - c.top + 1)))
        << "a filled rectangle";
    return c;
}

TEST(DrawMarker, AnUncutMarkerHasThePositionAsItsSecondPixel)
{
    EXPECT_EQ(markerAt(5, 4), (Covered{4, 7, 3, 6}));
}

TEST(DrawMarker, LeftAndTopEdgesShiftTheSquareInwards)
{
    EXPECT_EQ(markerAt(0, 0), (Covered{0, 3, 0, 3}));
    EXPECT_EQ(markerAt(1, 1), (Covered{0, 3, 0, 3}));
    EXPECT_EQ(markerAt(-6, 4), (Covered{0, 3, 3, 6}));
}

TEST(DrawMarker, RightAndBottomEdgesCutTheSquareOnePixelShort)
{
    // Columns: a square that would end on the last column keeps 3.
    EXPECT_EQ(markerAt(kW - 4, 4), (Covered{kW - 5, kW - 2, 3, 6}));
    EXPECT_EQ(markerAt(kW - 3, 4), (Covered{kW - 4, kW - 2, 3, 6}));
    EXPECT_EQ(markerAt(kW - 2, 4), (Covered{kW - 3, kW - 2, 3, 6}));
    EXPECT_EQ(markerAt(kW - 1, 4), (Covered{kW - 2, kW - 2, 3, 6}));
    // At x = width: a one-pixel strip in the last column.
    EXPECT_EQ(markerAt(kW, 4), (Covered{kW - 1, kW - 1, 3, 6}));
    // Rows: likewise, but a marker at y = height draws nothing.
    EXPECT_EQ(markerAt(5, kH - 3), (Covered{4, 7, kH - 4, kH - 2}));
    EXPECT_EQ(markerAt(5, kH - 1), (Covered{4, 7, kH - 2, kH - 2}));
    EXPECT_EQ(markerAt(5, kH), Covered{});
    // Both at once: the corner point of a grid that ends on both edges.
    EXPECT_EQ(markerAt(kW, kH), Covered{});
    EXPECT_EQ(markerAt(kW, kH - 1), (Covered{kW - 1, kW - 1, kH - 2, kH - 2}));
}

TEST(DrawMarker, PositionsBeyondThePictureWriteNothingOutside)
{
    // Only a grid laid over a larger picture reaches these.
    constexpr int kMax = std::numeric_limits<std::int32_t>::max();
    constexpr int kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(markerAt(kW + 1, 4), Covered{});
    EXPECT_EQ(markerAt(5, kH + 1), Covered{});
    EXPECT_EQ(markerAt(kMax, kMax), Covered{});
    EXPECT_EQ(markerAt(kMin, kMin), (Covered{0, 3, 0, 3}));
}

TEST(DrawMarker, TinyPictures)
{
    // One row high: the cut leaves no row. Four wide: 3 columns at most.
    TestCanvas flat(4, 1);
    drawMarker(flat.view, 1, 0, kInk);
    EXPECT_TRUE(flat.painted().empty());
    TestCanvas narrow(4, 8);
    drawMarker(narrow.view, 1, 1, kInk);
    EXPECT_EQ(narrow.painted().size(), 3u * 4u);
    EXPECT_TRUE(narrow.guardIntact());
}

} // namespace
} // namespace plexor::test
