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
        TestModel m;
        loadPictureWithGrid(m, 400, 300, 7);
        std::uniform_int_distribution<std::int32_t> d(-6, 6);
        for (std::size_t i = 0; i < m.grid.points().size(); ++i) {
            const std::int32_t dx = d(rng);
            m.grid.displace(i, dx, d(rng));
        }
        std::uniform_int_distribution<std::int64_t> x(-8, zoom.screenLength(400) + 8);
        std::uniform_int_distribution<std::int64_t> y(-8, zoom.screenLength(300) + 8);
        int found = 0;
        for (int k = 0; k < 3000; ++k) {
            const std::int64_t sx = x(rng), sy = y(rng);
            const std::int32_t literal = pointUnderLiteral(m.grid, zoom, sx, sy);
            ASSERT_EQ(pointUnder(m.grid, zoom, sx, sy), literal)
                << zoom.num << "/" << zoom.den << " at " << sx << ", " << sy;
            found += literal >= 0;
        }
        EXPECT_GT(found, 100) << "the pointer reached points";
    }
}

TEST(Selection, ACtrlClickChoosesAPointOrNoLongerAndChangesNoPixel)
{
    TestModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    const std::vector<std::uint8_t> work(m.picture.work().colours.data(),
                                         m.picture.work().colours.data() + m.picture.work().colours.size());
    SelectionGesture gesture(m.grid, m.picture, m.work.changes());
    const std::size_t point = m.grid.index(5, 5);
    gesture.press(242, 239);
    gesture.release(242, 239);
    EXPECT_TRUE(m.grid.selection().contains(point));
    show(m);
    EXPECT_EQ(countInView(m, kSelectionColour), 16);

    // A press that moves draws a band instead; one away from any point
    // chooses nothing.
    gesture.press(242, 239);
    gesture.move(243, 239);
    gesture.release(242, 239);
    gesture.press(264, 264);
    gesture.release(264, 264);
    EXPECT_EQ(m.grid.selection().size(), 1u);

    gesture.press(240, 240);
    gesture.release(240, 240);
    EXPECT_TRUE(m.grid.selection().empty());
    show(m);
    EXPECT_EQ(countInView(m, kSelectionColour), 0);
    EXPECT_TRUE(std::equal(work.begin(), work.end(), m.picture.work().colours.data()));
    EXPECT_EQ(m.work.queue().size(), 0u);
}

TEST(Selection, TheBandAddsThePointsShownInsideItCornersIncluded)
{
    TestModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    m.displace(3, 3, 5, m.grid.point(3, 3).dy);  // at 149, shown at 74
    m.displace(4, 2, 4, m.grid.point(4, 2).dy);  // at 196, shown at 98: one past the band
    m.displace(2, 4, m.grid.point(2, 4).dx, -1); // at 191, shown at 95: inside
    m.grid.selection().add(m.grid.index(8, 8));
    SelectionGesture gesture(m.grid, m.picture, m.work.changes());
    gesture.setZoom(Zoom{1, 2}); // point (c, r) shown at 24 (c, r)
    gesture.press(97, 97);
    gesture.move(60, 60);
    gesture.move(47, 47);
    EXPECT_EQ(m.grid.selection().band(), (PixelRect{94, 94, 196, 196}));
    show(m);
    EXPECT_GT(countInView(m, kSelectionColour), 4 * 90) << "the band's outline, and the chosen marker";

    gesture.release(47, 47);
    EXPECT_TRUE(m.grid.selection().band().empty());
    std::vector<std::int32_t> expected;
    for (auto [c, r] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}, {8, 8}})
        expected.push_back(static_cast<std::int32_t>(m.grid.index(c, r)));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(m.grid.selection().members(), expected);
    show(m);
    EXPECT_EQ(countInView(m, kSelectionColour), 9 * 16) << "the outline is gone";

    selectAllPoints(m.grid, m.work.changes());
    EXPECT_EQ(m.grid.selection().size(), 81u) << "every interior point";
    selectNoPoints(m.grid, m.work.changes());
    EXPECT_TRUE(m.grid.selection().empty());
}

TEST(Selection, TheChoiceOutlivesAGridOfTheSameShapeOnly)
{
    TestModel m;
    loadPictureWithGrid(m, 480, 480, 48);
    m.grid.selection().add(m.grid.index(3, 3));
    resetGrid(m.grid, m.picture, m.work);
    restoreGrid(m.grid, m.grid.snapshot(), m.picture, m.work);
    EXPECT_EQ(m.grid.selection().size(), 1u);
    m.layGrid(40);
    EXPECT_TRUE(m.grid.selection().empty());
}

} // namespace
} // namespace plexor::test
