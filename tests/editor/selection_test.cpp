// Choosing points: the search for the point within reach, a Ctrl+click, the
// band, and how the overlay shows the choice.

#include <random>

#include <gtest/gtest.h>

#include "editor/overlay_palette.h"
#include "editor/point_hit.h"
#include "editor/selection_gesture.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

TEST(Selection, TheSearchNearThePointerFindsWhatTheSearchOfEveryPointFinds)
{
    std::mt19937 rng(5);
    for (const Zoom zoom : {Zoom{1, 1}, Zoom{1, 3}, Zoom{1, 16}, Zoom{4, 1}, Zoom{225, 1024}}) {
        DeformModel m;
        loadPictureWithGrid(m, 400, 300, 7);
        std::uniform_int_distribution<std::int32_t> d(-6, 6);
        for (ControlPoint& p : m.points()) {
            p.dx = d(rng);
            p.dy = d(rng);
        }
        std::uniform_int_distribution<std::int64_t> x(-8, zoom.screenLength(400) + 8);
        std::uniform_int_distribution<std::int64_t> y(-8, zoom.screenLength(300) + 8);
        int found = 0;
        for (int k = 0; k < 3000; ++k) {
            const std::int64_t sx = x(rng), sy = y(rng);
            const std::int32_t literal = pointUnderLiteral(m, zoom, sx, sy);
            ASSERT_EQ(pointUnder(m, zoom, sx, sy), literal)
                << zoom.num << "/" << zoom.den << " at " << sx << ", " << sy;
            found += literal >= 0;
        }
        EXPECT_GT(found, 100) << "the pointer reached points";
    }
}

TEST(Selection, ACtrlClickChoosesAPointOrNoLongerAndChangesNoPixel)
{
    DeformModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    const std::vector<std::uint8_t> work(m.workImage().data(), m.workImage().data() + m.workImage().size());
    RecordingRefreshHost host;
    SelectionGesture gesture(m);
    const std::size_t point = m.pointIndex(5, 5);
    gesture.press(242, 239);
    gesture.release(242, 239);
    EXPECT_TRUE(m.selection().contains(point));
    refresh(m, host);
    EXPECT_EQ(countInView(m, kSelectionColour), 16);

    // A press that moves draws a band instead; one away from any point
    // chooses nothing.
    gesture.press(242, 239);
    gesture.move(243, 239);
    gesture.release(242, 239);
    gesture.press(264, 264);
    gesture.release(264, 264);
    EXPECT_EQ(m.selection().size(), 1u);

    gesture.press(240, 240);
    gesture.release(240, 240);
    EXPECT_TRUE(m.selection().empty());
    refresh(m, host);
    EXPECT_EQ(countInView(m, kSelectionColour), 0);
    EXPECT_TRUE(std::equal(work.begin(), work.end(), m.workImage().data()));
    EXPECT_EQ(m.cellQueue().size(), 0u);
}

TEST(Selection, TheBandAddsThePointsShownInsideItCornersIncluded)
{
    DeformModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    RecordingRefreshHost host;
    m.point(3, 3).dx = 5;  // at 149, shown at 74
    m.point(4, 2).dx = 4;  // at 196, shown at 98: one past the band
    m.point(2, 4).dy = -1; // at 191, shown at 95: inside
    m.selection().add(m.pointIndex(8, 8));
    SelectionGesture gesture(m);
    gesture.setZoom(Zoom{1, 2}); // point (c, r) shown at 24 (c, r)
    gesture.press(97, 97);
    gesture.move(60, 60);
    gesture.move(47, 47);
    EXPECT_EQ(m.selection().band(), (PixelRect{94, 94, 196, 196}));
    refresh(m, host);
    EXPECT_GT(countInView(m, kSelectionColour), 4 * 90) << "the band's outline, and the chosen marker";

    gesture.release(47, 47);
    EXPECT_TRUE(m.selection().band().empty());
    std::vector<std::int32_t> expected;
    for (auto [c, r] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}, {8, 8}})
        expected.push_back(static_cast<std::int32_t>(m.pointIndex(c, r)));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(m.selection().members(), expected);
    refresh(m, host);
    EXPECT_EQ(countInView(m, kSelectionColour), 9 * 16) << "the outline is gone";

    selectAllPoints(m);
    EXPECT_EQ(m.selection().size(), 81u) << "every interior point";
    selectNoPoints(m);
    EXPECT_TRUE(m.selection().empty());
}

TEST(Selection, TheChoiceOutlivesAGridOfTheSameShapeOnly)
{
    DeformModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    m.selection().add(m.pointIndex(3, 3));
    m.resetGrid();
    m.restoreGrid(m.snapshotGrid());
    EXPECT_EQ(m.selection().size(), 1u);
    m.layGrid(40);
    EXPECT_TRUE(m.selection().empty());
}

} // namespace
} // namespace plexor::test
