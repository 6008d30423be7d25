#include "editor/drag.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor/overlay_palette.h"
#include "editor_fixture.h"
#include "engine/grid_file.h"

namespace plexor::test {
namespace {

using Call = RecordingDragHost::Call;
using Calls = std::vector<Call>;
using Cell = std::pair<std::int32_t, std::int32_t>;

constexpr int kStep = 48;
constexpr Colour kRed = kPickedMarkerColour;

// A 480 x 480 picture with a grid of step 48: 11 x 11 points, point (c, r)
// at (48c, 48r); interior columns and rows 1 to 9.
struct Scene {
    explicit Scene(int width = 480, int height = 480)
    {
        loadPictureWithGrid(model, width, height, kStep);
        drag = std::make_unique<ControlPointDrag>(model.grid, model.picture, model.work.changes());
    }
    std::int32_t index(int c, int r) const { return c + r * model.grid.shape().pointCols; }
    const ControlPoint& p(int c, int r) const { return model.grid.point(c, r); }
    // Presses at point (c, r)'s displaced position plus (dx, dy).
    void pressAt(int c, int r, int dx = 0, int dy = 0)
    {
        host.press(*drag, p(c, r).x + p(c, r).dx + dx, p(c, r).y + p(c, r).dy + dy);
    }
    // Moves the pointer to grid position of (c, r) plus the grab offset plus
    // (dx, dy): a wanted displacement of (dx, dy) for point (c, r).
    void moveBy(int c, int r, int dx, int dy)
    {
        host.move(*drag, p(c, r).x + drag->dragOffsetX() + dx, p(c, r).y + drag->dragOffsetY() + dy);
    }
    int pickedCount() const
    {
        int n = 0;
        for (const ControlPoint& p : model.grid.points()) n += p.picked != 0;
        return n;
    }

    TestModel model;
    RecordingDragHost host{model};
    std::unique_ptr<ControlPointDrag> drag;
};

TEST(Drag, APressWithinFourPixelsInBothAxesPicks)
{
    for (auto [dx, dy] : {std::pair{4, 4}, {-4, -4}, {4, -4}, {-4, 4}, {0, 0}, {3, -2}}) {
        Scene s;
        s.pressAt(5, 3, dx, dy);
        EXPECT_TRUE(s.drag->dragging()) << dx << ", " << dy;
        EXPECT_EQ(s.drag->dragIndex(), s.index(5, 3));
        EXPECT_EQ(s.drag->dragOffsetX(), dx);
        EXPECT_EQ(s.drag->dragOffsetY(), dy);
        EXPECT_EQ(s.p(5, 3).picked, 1);
        EXPECT_EQ(s.pickedCount(), 1);
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture}));
        // The marker, and the four segments' 22 dotted pixels clear of markers.
        EXPECT_EQ(countInView(s.model, kRed), 16 + 4 * 22);
    }
    for (auto [dx, dy] : {std::pair{5, 0}, {0, 5}, {-5, 0}, {0, -5}, {4, 5}, {-5, -4}}) {
        Scene s;
        s.pressAt(5, 3, dx, dy);
        EXPECT_FALSE(s.drag->dragging()) << dx << ", " << dy;
        EXPECT_EQ(s.pickedCount(), 0);
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture})) << "refreshed and captured all the same";
    }
}

TEST(Drag, TheFirstPointInRowMajorOrderWins)
{
    {
        // (3, 2) moved next to (2, 2): the press is nearer (3, 2), but (2, 2)
        // comes first in its row.
        Scene s;
        s.model.displace(3, 2, -44, s.p(3, 2).dy); // at (100, 96)
        s.host.press(*s.drag, 99, 96);
        EXPECT_EQ(s.drag->dragIndex(), s.index(2, 2));
        EXPECT_EQ(s.drag->dragOffsetX(), 3);
    }
    {
        // (1, 3) moved up next to (2, 2): the upper row wins, though its point
        // lies to the right.
        Scene s;
        s.model.displace(1, 3, 47, s.p(1, 3).dy);
        s.model.displace(1, 3, s.p(1, 3).dx, -44); // at (95, 100)
        s.host.press(*s.drag, 96, 99);
        EXPECT_EQ(s.drag->dragIndex(), s.index(2, 2));
        EXPECT_EQ(s.p(1, 3).picked, 0);
    }
}

TEST(Drag, TheOuterRingCannotBePicked)
{
    for (auto [c, r] : {std::pair{0, 0}, {0, 5}, {10, 5}, {5, 0}, {5, 10}, {10, 10}}) {
        Scene s;
        s.pressAt(c, r);
        EXPECT_FALSE(s.drag->dragging()) << c << ", " << r;
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture}));
    }
}

TEST(Drag, GridsWithFewerThanThreePointColumnsOrRowsHaveNothingToPick)
{
    for (auto [w, h] : {std::pair{80, 480}, {480, 80}, {40, 40}}) {
        Scene s(w, h);
        ASSERT_TRUE(s.model.grid.shape().pointCols < 3 || s.model.grid.shape().pointRows < 3);
        for (int r = 0; r < s.model.grid.shape().pointRows; ++r)
            for (int c = 0; c < s.model.grid.shape().pointCols; ++c) s.pressAt(c, r);
        EXPECT_FALSE(s.drag->dragging()) << w << " x " << h;
        EXPECT_EQ(s.pickedCount(), 0);
    }
}

TEST(Drag, WithoutAPictureOrAGridOnlyTheReleaseDoesAnything)
{
    TestModel model;
    RecordingDragHost host(model);
    ControlPointDrag drag(model.grid, model.picture, model.work.changes());
    host.press(drag, 0, 0);
    host.move(drag, 5, 5);
    EXPECT_TRUE(host.calls.empty());
    host.release(drag);
    EXPECT_EQ(host.calls, Calls{Call::ReleaseCapture});

    loadPicture(model, 64, 64, grey); // a picture, still no grid
    host.press(drag, 0, 0);
    EXPECT_EQ(host.calls, Calls{Call::ReleaseCapture});
}

TEST(Drag, MovesWithinAStepFollowThePointerAtTheGrabOffset)
{
    Scene s;
    s.pressAt(5, 5, 2, -3);
    s.host.calls.clear();
    s.host.move(*s.drag, 240 + 2 + 47, 240 - 3 - 47);
    EXPECT_EQ(s.p(5, 5).dx, 47);
    EXPECT_EQ(s.p(5, 5).dy, -47);
    EXPECT_EQ(s.p(5, 5).picked, 1);
    EXPECT_EQ(s.host.calls, Calls{Call::Refresh});
    EXPECT_EQ(viewPixel(s.model, 240 + 47, 240 - 47), kRed) << "the red marker follows the point";
    EXPECT_EQ(viewPixel(s.model, 240, 240), kVectorColour) << "the vector starts at the grid position";
    s.host.move(*s.drag, 240 + 2 - 47, 240 - 3 + 1);
    EXPECT_EQ(s.p(5, 5).dx, -47);
    EXPECT_EQ(s.p(5, 5).dy, 1);
    EXPECT_TRUE(s.host.queued.empty()) << "nothing is deformed while the pointer moves";
}

struct HandOverCase {
    int dx, dy; // wanted displacement of point (5, 5)
    int c, r;   // the point holding the drag afterwards
};

TEST(Drag, AWholeStepHandsTheDragToTheNeighbourHorizontalFirst)
{
    const HandOverCase cases[] = {
        {47, 0, 5, 5},
        {48, 0, 6, 5},
        {-47, 0, 5, 5},
        {-48, 0, 4, 5},
        {0, 47, 5, 5},
        {0, 48, 5, 6},
        {0, -48, 5, 4},
        {130, 0, 6, 5},
        // A diagonal part beyond half a step on the other axis.
        {48, 24, 6, 5},
        {48, 25, 6, 6},
        {48, -25, 6, 4},
        {-48, 25, 4, 6},
        {-48, -24, 4, 5},
        {24, 48, 5, 6},
        {25, 48, 6, 6},
        {-25, -48, 4, 4},
        // Both axes at a step: the horizontal hand-over, with its diagonal.
        {48, 48, 6, 6},
        {-60, 48, 4, 6},
        {48, -100, 6, 4},
    };
    for (const HandOverCase& k : cases) {
        Scene s;
        s.pressAt(5, 5, 1, 1);
        s.host.calls.clear();
        s.moveBy(5, 5, k.dx, k.dy);
        const bool handed = k.c != 5 || k.r != 5;
        EXPECT_EQ(s.drag->dragIndex(), s.index(k.c, k.r)) << k.dx << ", " << k.dy;
        EXPECT_TRUE(s.drag->dragging());
        if (handed) {
            EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(k.c, k.r)});
            EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh}));
            EXPECT_EQ(s.p(5, 5).dx, 0) << "a hand-over does not move the point given up";
            EXPECT_EQ(s.p(5, 5).dy, 0);
            EXPECT_EQ(s.pickedCount(), 0);
        } else {
            EXPECT_EQ(s.host.calls, Calls{Call::Refresh});
            EXPECT_EQ(s.p(5, 5).dx, k.dx);
            EXPECT_EQ(s.p(5, 5).dy, k.dy);
        }
    }
}

TEST(Drag, AfterAHandOverTheNewPointFollowsFromItsOwnGridPosition)
{
    Scene s;
    s.pressAt(5, 5, 3, 0);
    s.moveBy(5, 5, 30, 10);
    s.moveBy(5, 5, 50, 10); // hands over to (6, 5)
    ASSERT_EQ(s.drag->dragIndex(), s.index(6, 5));
    EXPECT_EQ(s.p(5, 5).dx, 30) << "the point given up keeps its last accepted displacement";
    EXPECT_EQ(s.p(5, 5).dy, 10);
    EXPECT_EQ(s.p(6, 5).dx, 0) << "the new point keeps its own";
    // The pointer at 240 + 3 + 55: 7 past the new point's grid position plus
    // the offset kept from the press.
    s.host.move(*s.drag, 240 + 3 + 55, 240 + 10);
    EXPECT_EQ(s.p(6, 5).dx, 7);
    EXPECT_EQ(s.p(6, 5).dy, 10);
    EXPECT_EQ(s.p(6, 5).picked, 0);
    EXPECT_EQ(s.drag->dragOffsetX(), 3);
}

TEST(Drag, HandOversTowardsTheOuterRingAreRefused)
{
    {
        // Column 1 dragged left by a step: nothing changes, the point stays
        // picked and red, and the vertical test is not tried either.
        Scene s;
        s.pressAt(1, 5);
        s.moveBy(1, 5, -10, 4);
        s.host.calls.clear();
        for (auto [dx, dy] : {std::pair{-48, 0}, {-48, 48}, {-200, -60}}) {
            s.moveBy(1, 5, dx, dy);
            EXPECT_EQ(s.drag->dragIndex(), s.index(1, 5));
            EXPECT_EQ(s.p(1, 5).dx, -10);
            EXPECT_EQ(s.p(1, 5).dy, 4);
            EXPECT_EQ(s.p(1, 5).picked, 1);
            EXPECT_TRUE(s.drag->dragging());
        }
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::Refresh, Call::Refresh}));
        EXPECT_TRUE(s.host.queued.empty());
        EXPECT_EQ(viewPixel(s.model, 48 - 10, 240 + 4), kRed) << "still red";
    }
    const HandOverCase cases[] = {
        // From the bottom-most interior row, a downward diagonal part is
        // dropped; a vertical hand-over down is refused.
        {48, 30, 6, 9}, {-48, 25, 4, 9}, {0, 48, 5, 9}, {-30, 48, 5, 9}, {48, -30, 6, 8},
    };
    for (const HandOverCase& k : cases) {
        Scene s;
        s.pressAt(5, 9);
        s.moveBy(5, 9, k.dx, k.dy);
        EXPECT_EQ(s.drag->dragIndex(), s.index(k.c, k.r)) << k.dx << ", " << k.dy;
        EXPECT_EQ(s.p(5, 9).picked, k.c == 5 ? 1 : 0);
    }
    {
        // The right, top and bottom interior edges likewise.
        Scene s;
        s.pressAt(9, 1);
        s.moveBy(9, 1, 48, 0);
        s.moveBy(9, 1, 0, -48);
        s.moveBy(9, 1, 30, -48);
        EXPECT_EQ(s.drag->dragIndex(), s.index(9, 1));
        s.moveBy(9, 1, -48, -30); // along the row only
        EXPECT_EQ(s.drag->dragIndex(), s.index(8, 1));
    }
}

TEST(Drag, AfterAHandOverNothingIsRedAndTheReleaseQueuesAroundTheHolder)
{
    Scene s;
    s.pressAt(5, 5);
    s.moveBy(5, 5, 20, 0);
    s.moveBy(5, 5, 48, 0);
    EXPECT_EQ(countInView(s.model, kRed), 0);
    s.moveBy(6, 5, -60, 5); // back to (5, 5)
    ASSERT_EQ(s.drag->dragIndex(), s.index(5, 5));
    s.moveBy(5, 5, 0, -50);
    ASSERT_EQ(s.drag->dragIndex(), s.index(5, 4));
    s.host.calls.clear();
    s.host.release(*s.drag);
    EXPECT_EQ(s.host.queued, (std::vector<Cell>{{6, 5}, {5, 5}, {5, 4}, {5, 4}}));
    EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture}));
    EXPECT_FALSE(s.drag->dragging());
    EXPECT_EQ(s.pickedCount(), 0);
    EXPECT_EQ(s.p(5, 5).dx, 20);
}

TEST(Drag, AReleaseOrACommandEndingTheDragUnpicksQueuesRefreshesAndEnds)
{
    for (const bool byCommand : {false, true}) {
        Scene s;
        s.pressAt(3, 7);
        s.moveBy(3, 7, -12, 9);
        s.host.calls.clear();
        if (byCommand)
            s.host.release(*s.drag);
        else
            s.host.release(*s.drag);
        EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture}));
        EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(3, 7)});
        EXPECT_EQ(s.p(3, 7).picked, 0);
        EXPECT_EQ(countInView(s.model, kRed), 0) << "the refresh at the end shows nothing red";
        EXPECT_FALSE(s.drag->dragging());
        // Afterwards moves do nothing, and a release only gives the mouse
        // back.
        s.host.calls.clear();
        s.moveBy(3, 7, 5, 5);
        EXPECT_EQ(s.p(3, 7).dx, -12);
        s.host.release(*s.drag);
        EXPECT_EQ(s.host.calls, Calls{Call::ReleaseCapture});
    }
}

TEST(Drag, AReleaseWithoutADragOnlyGivesTheMouseBack)
{
    Scene s;
    s.pressAt(0, 0); // the ring: nothing picked, the mouse captured
    s.host.calls.clear();
    s.host.release(*s.drag);
    EXPECT_EQ(s.host.calls, Calls{Call::ReleaseCapture});
}

TEST(Drag, APointDraggedBackOntoItsGridPositionHasNoVector)
{
    Scene s;
    s.pressAt(4, 4, -2, 2);
    s.moveBy(4, 4, 15, -9);
    EXPECT_GT(countInView(s.model, kVectorColour), 0);
    s.moveBy(4, 4, 0, 0);
    EXPECT_EQ(s.p(4, 4).dx, 0);
    EXPECT_EQ(countInView(s.model, kVectorColour), 0);
}

TEST(Drag, APressDuringADragEndsItFirst)
{
    Scene s;
    s.pressAt(2, 2);
    s.moveBy(2, 2, 6, 0);
    s.host.calls.clear();
    s.pressAt(7, 7, 1, 1); // another button pressed on another point
    EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture, Call::Refresh, Call::SetCapture}));
    EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(2, 2)});
    EXPECT_EQ(s.p(2, 2).picked, 0);
    EXPECT_EQ(s.drag->dragIndex(), s.index(7, 7));
    EXPECT_EQ(s.pickedCount(), 1);
    // A press that misses ends the drag all the same, and starts none.
    s.pressAt(0, 9);
    EXPECT_FALSE(s.drag->dragging());
    EXPECT_EQ(s.pickedCount(), 0);
}

TEST(Drag, APressOnAChosenPointMovesTheWholeChoiceWithinItsLimits)
{
    Scene s;
    for (auto [c, r] : {std::pair{2, 2}, {5, 5}, {7, 3}}) s.model.grid.selection().add(s.index(c, r));
    s.model.displace(7, 3, 40, s.p(7, 3).dy); // 7 pixels short of a step to the right
    s.model.displace(2, 2, s.p(2, 2).dx, -45);
    s.pressAt(5, 5, 1, 1);
    EXPECT_TRUE(s.drag->groupDragging());
    EXPECT_EQ(s.pickedCount(), 0) << "a group has no red point";
    // Each axis stops at its first limit on its own; the move is cut, not refused.
    s.host.move(*s.drag, 241 + 20, 241 - 10);
    EXPECT_EQ(std::pair(s.p(5, 5).dx.load(), s.p(5, 5).dy.load()), std::pair(7, -2));
    EXPECT_EQ(std::pair(s.p(7, 3).dx.load(), s.p(2, 2).dy.load()), std::pair(47, -47));
    // Beyond a step there is no hand-over: the points stop short of it.
    s.host.move(*s.drag, 241 - 30, 241 + 70);
    EXPECT_EQ(s.drag->dragIndex(), s.index(5, 5));
    EXPECT_EQ(std::pair(s.p(5, 5).dx.load(), s.p(5, 5).dy.load()), std::pair(-30, 47));
    EXPECT_EQ(std::pair(s.p(7, 3).dx.load(), s.p(2, 2).dy.load()), std::pair(10, 2));
    EXPECT_EQ(countInView(s.model, kSelectionColour), 3 * 16) << "the chosen markers, magenta";
    EXPECT_TRUE(s.host.queued.empty() && s.host.batches.empty()) << "nothing deformed before the release";

    // The release queues one batch: the cells around the moved points, row
    // by row, the batch a grid file of these displacements gives.
    s.host.calls.clear();
    s.host.release(*s.drag);
    EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture}));
    ASSERT_EQ(s.host.batches.size(), 1u);
    EXPECT_EQ(s.host.batches[0], displacedCells(s.model.grid));
    EXPECT_EQ(s.model.grid.selection().size(), 3u);
}

TEST(Drag, AGroupMoveRedrawsWhatAWholeRefreshDraws)
{
    // A block large enough that its border's rectangles leave its middle out.
    Scene s(960, 960);
    for (int r = 3; r <= 16; ++r)
        for (int c = 3; c <= 17; ++c) s.model.grid.selection().add(s.index(c, r));
    s.model.grid.selection().add(s.index(1, 18));
    s.pressAt(4, 4);
    for (auto [dx, dy] : {std::pair{9, 4}, {-30, 17}, {46, -46}, {2, 1}}) {
        s.host.move(*s.drag, 192 + dx, 192 + dy);
        const ByteBuffer& view = s.model.picture.view().colours;
        const std::vector<std::uint8_t> shown(view.data(), view.data() + view.size());
        refreshWhole(s.model.picture, s.model.grid, s.model.work, nullptr, true);
        ASSERT_TRUE(std::equal(shown.begin(), shown.end(), view.data())) << dx << ", " << dy;
    }
}

TEST(Drag, APressOutsideTheChoiceClearsItAndTheOnlyPointChosenDragsAlone)
{
    Scene s;
    s.model.grid.selection().add(s.index(2, 2));
    s.model.grid.selection().add(s.index(3, 3));
    s.pressAt(6, 6);
    EXPECT_TRUE(s.model.grid.selection().empty());
    EXPECT_FALSE(s.drag->groupDragging());
    EXPECT_EQ(s.p(6, 6).picked, 1);
    s.host.release(*s.drag);

    s.model.grid.selection().add(s.index(4, 4));
    s.pressAt(4, 4);
    s.moveBy(4, 4, 60, 0);
    EXPECT_EQ(s.drag->dragIndex(), s.index(5, 4)) << "dragged alone, with its hand-over";
    EXPECT_EQ(s.model.grid.selection().size(), 1u);
}

TEST(Drag, ShiftKeepsADragOnOneAxisHandOverIncluded)
{
    Scene s;
    s.pressAt(5, 5, 1, 1); // at (241, 241)
    s.host.move(*s.drag, 241 + 30, 241 + 12, true);
    EXPECT_EQ(std::pair(s.p(5, 5).dx.load(), s.p(5, 5).dy.load()), std::pair(30, 0));
    s.host.move(*s.drag, 241 - 10, 241 + 10, true); // a tie: across
    EXPECT_EQ(std::pair(s.p(5, 5).dx.load(), s.p(5, 5).dy.load()), std::pair(-10, 0));
    s.host.move(*s.drag, 241 + 5, 241 - 20, true);
    EXPECT_EQ(std::pair(s.p(5, 5).dx.load(), s.p(5, 5).dy.load()), std::pair(0, -20));
    // A whole step across hands over to the right, with no diagonal part:
    // the pointer stays on the press's row.
    s.host.move(*s.drag, 241 + 60, 241 + 30, true);
    EXPECT_EQ(s.drag->dragIndex(), s.index(6, 5));
    EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(6, 5)});
    s.host.move(*s.drag, 241 + 60, 241 + 30, true);
    EXPECT_EQ(std::pair(s.p(6, 5).dx.load(), s.p(6, 5).dy.load()), std::pair(12, 0));
    s.host.move(*s.drag, 241 + 60, 241 + 30);
    EXPECT_EQ(std::pair(s.p(6, 5).dx.load(), s.p(6, 5).dy.load()), std::pair(12, 30)) << "unlocked again";
}

} // namespace
} // namespace plexor::test
