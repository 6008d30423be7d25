#include "editor/draw_overlay.h"

#include <array>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "editor/overlay_palette.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

// A 96 x 96 plain picture with a grid of step 24: 5 x 5 points at 0, 24, 48,
// 72, 96 on both axes, the last column and row one past the picture.
class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override { loadPictureWithGrid(model_, 96, 96, 24); }
    void draw()
    {
        model_.picture.showWork(std::array{PixelRect{0, 0, model_.picture.width(), model_.picture.height()}});
        drawOverlay(model_.grid, model_.picture);
    }
    Colour at(int x, int y) const { return viewPixel(model_, x, y); }

    TestModel model_;
};

TEST_F(OverlayTest, AFreshGridIsADottedDarkYellowLatticeWithYellowMarkers)
{
    draw();
    EXPECT_EQ(countInView(model_, kVectorColour), 0);
    EXPECT_EQ(countInView(model_, kPickedSegmentColour), 0);
    // Along the segment from (24, 24) to (48, 24), clear of the markers:
    // every second pixel from its start.
    for (int x = 28; x <= 44; ++x) EXPECT_EQ(at(x, 24), x % 2 == 0 ? kSegmentColour : kBackground) << x;
    for (int y = 28; y <= 44; ++y) EXPECT_EQ(at(48, y), y % 2 == 0 ? kSegmentColour : kBackground) << y;
    // Markers: the point is the square's second pixel.
    for (int y = 23; y <= 26; ++y)
        for (int x = 47; x <= 50; ++x) EXPECT_EQ(at(x, y), kMarkerColour);
    EXPECT_EQ(at(46, 24), kSegmentColour);
    EXPECT_EQ(at(51, 24), kBackground);
}

TEST_F(OverlayTest, APickedPointsSegmentsAreRedOverTheirWholeLength)
{
    model_.grid.setPicked(model_.grid.index(2, 2), true);
    draw();
    for (int t = 27; t <= 45; ++t) {
        const Colour expected = t % 2 == 0 ? kPickedSegmentColour : kBackground;
        EXPECT_EQ(at(t, 48), expected) << "left segment at x " << t;
        EXPECT_EQ(at(t + 24, 48), expected) << "right segment at x " << t + 24;
        EXPECT_EQ(at(48, t), expected) << "upper segment at y " << t;
        EXPECT_EQ(at(48, t + 24), expected) << "lower segment at y " << t + 24;
    }
    for (int y = 47; y <= 50; ++y)
        for (int x = 47; x <= 50; ++x) EXPECT_EQ(at(x, y), kPickedMarkerColour);
    // Segments without the picked point stay dark yellow, their markers yellow.
    EXPECT_EQ(at(30, 24), kSegmentColour);
    EXPECT_EQ(at(72, 30), kSegmentColour);
    EXPECT_EQ(at(24, 24), kMarkerColour);
    // Exactly the four segments are red: 4 x 10 pixels clear of markers
    // (even offsets 4..22 of each), plus the 16 of the marker.
    EXPECT_EQ(countInView(model_, kPickedSegmentColour), 4 * 10 + 16);
}

TEST_F(OverlayTest, VerticalSegmentsCoverHorizontalOnes)
{
    // Point (2, 2) moved to (40, 24): its vertical segment from (48, 24) runs
    // back along row 24 over the horizontal segment from (24, 24) to (48, 24),
    // taking the same pixels. It is red (picked); the horizontal one is dark
    // yellow.
    model_.displace(2, 2, -8, -24);
    model_.grid.setPicked(model_.grid.index(2, 2), true);
    draw();
    EXPECT_EQ(at(44, 24), kPickedSegmentColour);
    EXPECT_EQ(at(46, 24), kPickedSegmentColour);
    EXPECT_EQ(at(36, 24), kSegmentColour) << "beyond the overlap the horizontal segment shows";
    EXPECT_EQ(at(44, 36), kVectorColour) << "the vector from (48, 48) to (40, 24)";
    for (int y = 23; y <= 26; ++y)
        for (int x = 39; x <= 42; ++x) EXPECT_EQ(at(x, y), kPickedMarkerColour);
}

TEST_F(OverlayTest, VectorsCoverGridLinesAndMarkersCoverVectors)
{
    // Point (2, 2) moved 10 to the right: its vector runs along row 48 over
    // the dotted segment from (24, 48), and ends under its marker.
    model_.displace(2, 2, 10, model_.grid.point(2, 2).dy);
    draw();
    for (int x = 48; x <= 56; ++x) EXPECT_EQ(at(x, 48), kVectorColour) << x;
    for (int x = 57; x <= 60; ++x) EXPECT_EQ(at(x, 48), kMarkerColour) << x;
    EXPECT_EQ(at(46, 48), kSegmentColour);
    EXPECT_EQ(at(47, 48), kBackground) << "no marker at the grid position of a moved point";
    EXPECT_EQ(countInView(model_, kVectorColour), 9);
}

TEST_F(OverlayTest, SegmentsRunFromTheLowerColumnOrRow)
{
    // (2, 1) moved to (48, 29): the segment from (24, 24) takes (36, 27), where
    // the same line drawn from the other end would take (36, 26). Likewise
    // down the column for (1, 2) moved to (29, 48).
    model_.displace(2, 1, model_.grid.point(2, 1).dx, 5);
    model_.displace(1, 2, 5, model_.grid.point(1, 2).dy);
    draw();
    EXPECT_EQ(at(36, 27), kSegmentColour);
    EXPECT_EQ(at(36, 26), kBackground);
    EXPECT_EQ(at(27, 36), kSegmentColour);
    EXPECT_EQ(at(26, 36), kBackground);
}

TEST_F(OverlayTest, OnlyDisplacedPointsHaveVectors)
{
    // Point (3, 1) moved to (77, 24): its vector covers 72..77 of row 24, its
    // marker 76..79. Point (1, 3) moved to (24, 69): its vector covers rows
    // 72 up to 69, its marker rows 68..71. No other point has one.
    model_.displace(3, 1, 5, model_.grid.point(3, 1).dy);
    model_.displace(1, 3, model_.grid.point(1, 3).dx, -3);
    draw();
    EXPECT_EQ(countInView(model_, kVectorColour), 4 + 1);
    for (int x = 72; x <= 75; ++x) EXPECT_EQ(at(x, 24), kVectorColour);
    EXPECT_EQ(at(24, 72), kVectorColour);
}

TEST_F(OverlayTest, TheGridAtThePictureEdgeWritesNothingOutside)
{
    // The last point column lies at x = 96 and the last row at y = 96: their
    // segments keep only their pixels inside, and nothing wraps to the next
    // row or runs past the buffer.
    std::memset(model_.picture.splatTarget().work + 3 * 96 * 96, 0xEE,
                9); // the three spare pixels, copied into the view
    draw();
    for (int i = 0; i < 9; ++i) EXPECT_EQ(model_.picture.view().colours[3 * 96 * 96 + i], 0xEE);
    // (96, 4) of the right column would land on (0, 5), which no line of the
    // left column plots.
    EXPECT_EQ(at(0, 5), kBackground);
    // The horizontal segment from (72, 24) to (96, 24) keeps its even pixels
    // inside; the last column holds the edge points' one-pixel markers.
    for (int x = 76; x <= 94; ++x) EXPECT_EQ(at(x, 24), x % 2 == 0 ? kSegmentColour : kBackground) << x;
    for (int y = 23; y <= 26; ++y) EXPECT_EQ(at(95, y), kMarkerColour);
    EXPECT_EQ(at(95, 28), kBackground);
}

TEST_F(OverlayTest, NothingWithoutAGrid)
{
    TestModel bare;
    loadPicture(bare, 16, 16, grey);
    drawOverlay(bare.grid, bare.picture);
    EXPECT_EQ(countInView(bare, kBackground), 16 * 16);
}

} // namespace
} // namespace plexor::test
