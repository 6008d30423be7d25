#include "editor/drag.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor/overlay_palette.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

using Call = RecordingDragHost::Call;
using Calls = std::vector<Call>;
using Cell = std::pair<std::int32_t, std::int32_t>;

constexpr int kStep = 48;
constexpr Colour kRed = kSelectedMarkerColour;

// A 480 x 480 picture with a grid of step 48: 11 x 11 points, point (c, r)
// at (48c, 48r); interior columns and rows 1 to 9.
struct Scene {
    explicit Scene(int width = 480, int height = 480)
    {
        LoadPictureWithGrid(model, width, height, kStep);
        drag = std::make_unique<ControlPointDrag>(model, host);
    }
    std::int32_t Index(int c, int r) const { return c + r * model.PointCols(); }
    TControlPoint& P(int c, int r) { return model.Point(c, r); }
    // Presses at point (c, r)'s displaced position plus (dx, dy).
    void PressAt(int c, int r, int dx = 0, int dy = 0)
    {
        drag->ImageMouseDown(P(c, r).X + P(c, r).DX + dx, P(c, r).Y + P(c, r).DY + dy);
    }
    // Moves the pointer to grid position of (c, r) plus the grab offset plus
    // (dx, dy): a wanted displacement of (dx, dy) for point (c, r).
    void MoveBy(int c, int r, int dx, int dy)
    {
        drag->ImageMouseMove(P(c, r).X + drag->DragOffsetX() + dx, P(c, r).Y + drag->DragOffsetY() + dy);
    }
    int SelectedCount() const
    {
        int n = 0;
        for (const TControlPoint& p : model.ControlPoints) n += p.Selected != 0;
        return n;
    }

    DeformModel model;
    RecordingDragHost host{model};
    std::unique_ptr<ControlPointDrag> drag;
};

TEST(Drag, APressWithinFourPixelsInBothAxesPicks)
{
    for (auto [dx, dy] : {std::pair{4, 4}, {-4, -4}, {4, -4}, {-4, 4}, {0, 0}, {3, -2}}) {
        Scene s;
        s.PressAt(5, 3, dx, dy);
        EXPECT_TRUE(s.drag->Dragging()) << dx << ", " << dy;
        EXPECT_EQ(s.drag->DragIndex(), s.Index(5, 3));
        EXPECT_EQ(s.drag->DragOffsetX(), dx);
        EXPECT_EQ(s.drag->DragOffsetY(), dy);
        EXPECT_EQ(s.P(5, 3).Selected, 1);
        EXPECT_EQ(s.SelectedCount(), 1);
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture}));
        // The marker, and the four segments' 22 dotted pixels clear of markers.
        EXPECT_EQ(CountInView(s.model, kRed), 16 + 4 * 22);
    }
    for (auto [dx, dy] : {std::pair{5, 0}, {0, 5}, {-5, 0}, {0, -5}, {4, 5}, {-5, -4}}) {
        Scene s;
        s.PressAt(5, 3, dx, dy);
        EXPECT_FALSE(s.drag->Dragging()) << dx << ", " << dy;
        EXPECT_EQ(s.SelectedCount(), 0);
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture})) << "refreshed and captured all the same";
    }
}

TEST(Drag, TheFirstPointInRowMajorOrderWins)
{
    {
        // (3, 2) moved next to (2, 2): the press is nearer (3, 2), but (2, 2)
        // comes first in its row.
        Scene s;
        s.P(3, 2).DX = -44; // at (100, 96)
        s.drag->ImageMouseDown(99, 96);
        EXPECT_EQ(s.drag->DragIndex(), s.Index(2, 2));
        EXPECT_EQ(s.drag->DragOffsetX(), 3);
    }
    {
        // (1, 3) moved up next to (2, 2): the upper row wins, though its point
        // lies to the right.
        Scene s;
        s.P(1, 3).DX = 47;
        s.P(1, 3).DY = -44; // at (95, 100)
        s.drag->ImageMouseDown(96, 99);
        EXPECT_EQ(s.drag->DragIndex(), s.Index(2, 2));
        EXPECT_EQ(s.P(1, 3).Selected, 0);
    }
}

TEST(Drag, TheOuterRingCannotBePicked)
{
    for (auto [c, r] : {std::pair{0, 0}, {0, 5}, {10, 5}, {5, 0}, {5, 10}, {10, 10}}) {
        Scene s;
        s.PressAt(c, r);
        EXPECT_FALSE(s.drag->Dragging()) << c << ", " << r;
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::SetCapture}));
    }
}

TEST(Drag, GridsWithFewerThanThreePointColumnsOrRowsHaveNothingToPick)
{
    for (auto [w, h] : {std::pair{80, 480}, {480, 80}, {40, 40}}) {
        Scene s(w, h);
        ASSERT_TRUE(s.model.PointCols() < 3 || s.model.PointRows() < 3);
        for (int r = 0; r < s.model.PointRows(); ++r)
            for (int c = 0; c < s.model.PointCols(); ++c) s.PressAt(c, r);
        EXPECT_FALSE(s.drag->Dragging()) << w << " x " << h;
        EXPECT_EQ(s.SelectedCount(), 0);
    }
}

TEST(Drag, WithoutAPictureOrAGridOnlyTheReleaseDoesAnything)
{
    DeformModel model;
    RecordingDragHost host(model);
    ControlPointDrag drag(model, host);
    drag.ImageMouseDown(0, 0);
    drag.ImageMouseMove(5, 5);
    EXPECT_TRUE(host.calls.empty());
    drag.ImageMouseUp(5, 5);
    EXPECT_EQ(host.calls, Calls{Call::ReleaseCapture});

    LoadPicture(model, 64, 64, Grey); // a picture, still no grid
    drag.ImageMouseDown(0, 0);
    EXPECT_EQ(host.calls, Calls{Call::ReleaseCapture});
}

TEST(Drag, MovesWithinAStepFollowThePointerAtTheGrabOffset)
{
    Scene s;
    s.PressAt(5, 5, 2, -3);
    s.host.calls.clear();
    s.drag->ImageMouseMove(240 + 2 + 47, 240 - 3 - 47);
    EXPECT_EQ(s.P(5, 5).DX, 47);
    EXPECT_EQ(s.P(5, 5).DY, -47);
    EXPECT_EQ(s.P(5, 5).Selected, 1);
    EXPECT_EQ(s.host.calls, Calls{Call::Refresh});
    EXPECT_EQ(ViewPixel(s.model, 240 + 47, 240 - 47), kRed) << "the red marker follows the point";
    EXPECT_EQ(ViewPixel(s.model, 240, 240), kVectorColour) << "the vector starts at the grid position";
    s.drag->ImageMouseMove(240 + 2 - 47, 240 - 3 + 1);
    EXPECT_EQ(s.P(5, 5).DX, -47);
    EXPECT_EQ(s.P(5, 5).DY, 1);
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
        s.PressAt(5, 5, 1, 1);
        s.host.calls.clear();
        s.MoveBy(5, 5, k.dx, k.dy);
        const bool handed = k.c != 5 || k.r != 5;
        EXPECT_EQ(s.drag->DragIndex(), s.Index(k.c, k.r)) << k.dx << ", " << k.dy;
        EXPECT_TRUE(s.drag->Dragging());
        if (handed) {
            EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(k.c, k.r)});
            EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh}));
            EXPECT_EQ(s.P(5, 5).DX, 0) << "a hand-over does not move the point given up";
            EXPECT_EQ(s.P(5, 5).DY, 0);
            EXPECT_EQ(s.SelectedCount(), 0);
        } else {
            EXPECT_EQ(s.host.calls, Calls{Call::Refresh});
            EXPECT_EQ(s.P(5, 5).DX, k.dx);
            EXPECT_EQ(s.P(5, 5).DY, k.dy);
        }
    }
}

TEST(Drag, AfterAHandOverTheNewPointFollowsFromItsOwnGridPosition)
{
    Scene s;
    s.PressAt(5, 5, 3, 0);
    s.MoveBy(5, 5, 30, 10);
    s.MoveBy(5, 5, 50, 10); // hands over to (6, 5)
    ASSERT_EQ(s.drag->DragIndex(), s.Index(6, 5));
    EXPECT_EQ(s.P(5, 5).DX, 30) << "the point given up keeps its last accepted displacement";
    EXPECT_EQ(s.P(5, 5).DY, 10);
    EXPECT_EQ(s.P(6, 5).DX, 0) << "the new point keeps its own";
    // The pointer at 240 + 3 + 55: 7 past the new point's grid position plus
    // the offset kept from the press.
    s.drag->ImageMouseMove(240 + 3 + 55, 240 + 10);
    EXPECT_EQ(s.P(6, 5).DX, 7);
    EXPECT_EQ(s.P(6, 5).DY, 10);
    EXPECT_EQ(s.P(6, 5).Selected, 0);
    EXPECT_EQ(s.drag->DragOffsetX(), 3);
}

TEST(Drag, HandOversTowardsTheOuterRingAreRefused)
{
    {
        // Column 1 dragged left by a step: nothing changes, the point stays
        // picked and red, and the vertical test is not tried either.
        Scene s;
        s.PressAt(1, 5);
        s.MoveBy(1, 5, -10, 4);
        s.host.calls.clear();
        for (auto [dx, dy] : {std::pair{-48, 0}, {-48, 48}, {-200, -60}}) {
            s.MoveBy(1, 5, dx, dy);
            EXPECT_EQ(s.drag->DragIndex(), s.Index(1, 5));
            EXPECT_EQ(s.P(1, 5).DX, -10);
            EXPECT_EQ(s.P(1, 5).DY, 4);
            EXPECT_EQ(s.P(1, 5).Selected, 1);
            EXPECT_TRUE(s.drag->Dragging());
        }
        EXPECT_EQ(s.host.calls, (Calls{Call::Refresh, Call::Refresh, Call::Refresh}));
        EXPECT_TRUE(s.host.queued.empty());
        EXPECT_EQ(ViewPixel(s.model, 48 - 10, 240 + 4), kRed) << "still red";
    }
    const HandOverCase cases[] = {
        // From the bottom-most interior row, a downward diagonal part is
        // dropped; a vertical hand-over down is refused.
        {48, 30, 6, 9}, {-48, 25, 4, 9}, {0, 48, 5, 9}, {-30, 48, 5, 9}, {48, -30, 6, 8},
    };
    for (const HandOverCase& k : cases) {
        Scene s;
        s.PressAt(5, 9);
        s.MoveBy(5, 9, k.dx, k.dy);
        EXPECT_EQ(s.drag->DragIndex(), s.Index(k.c, k.r)) << k.dx << ", " << k.dy;
        EXPECT_EQ(s.P(5, 9).Selected, k.c == 5 ? 1 : 0);
    }
    {
        // The right, top and bottom interior edges likewise.
        Scene s;
        s.PressAt(9, 1);
        s.MoveBy(9, 1, 48, 0);
        s.MoveBy(9, 1, 0, -48);
        s.MoveBy(9, 1, 30, -48);
        EXPECT_EQ(s.drag->DragIndex(), s.Index(9, 1));
        s.MoveBy(9, 1, -48, -30); // along the row only
        EXPECT_EQ(s.drag->DragIndex(), s.Index(8, 1));
    }
}

TEST(Drag, AfterAHandOverNothingIsRedAndTheReleaseQueuesAroundTheHolder)
{
    Scene s;
    s.PressAt(5, 5);
    s.MoveBy(5, 5, 20, 0);
    s.MoveBy(5, 5, 48, 0);
    EXPECT_EQ(CountInView(s.model, kRed), 0);
    s.MoveBy(6, 5, -60, 5); // back to (5, 5)
    ASSERT_EQ(s.drag->DragIndex(), s.Index(5, 5));
    s.MoveBy(5, 5, 0, -50);
    ASSERT_EQ(s.drag->DragIndex(), s.Index(5, 4));
    s.host.calls.clear();
    s.drag->ImageMouseUp(0, 0);
    EXPECT_EQ(s.host.queued, (std::vector<Cell>{{6, 5}, {5, 5}, {5, 4}, {5, 4}}));
    EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture}));
    EXPECT_FALSE(s.drag->Dragging());
    EXPECT_EQ(s.SelectedCount(), 0);
    EXPECT_EQ(s.P(5, 5).DX, 20);
}

TEST(Drag, AReleaseOrACommandEndingTheDragUnpicksQueuesRefreshesAndEnds)
{
    for (const bool byCommand : {false, true}) {
        Scene s;
        s.PressAt(3, 7);
        s.MoveBy(3, 7, -12, 9);
        s.host.calls.clear();
        if (byCommand)
            s.drag->EndDrag();
        else
            s.drag->ImageMouseUp(1000, -1000);
        EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture}));
        EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(3, 7)});
        EXPECT_EQ(s.P(3, 7).Selected, 0);
        EXPECT_EQ(CountInView(s.model, kRed), 0) << "the refresh at the end shows nothing red";
        EXPECT_FALSE(s.drag->Dragging());
        // Afterwards moves do nothing, and a release only gives the mouse
        // back.
        s.host.calls.clear();
        s.MoveBy(3, 7, 5, 5);
        EXPECT_EQ(s.P(3, 7).DX, -12);
        s.drag->ImageMouseUp(0, 0);
        EXPECT_EQ(s.host.calls, Calls{Call::ReleaseCapture});
    }
}

TEST(Drag, AReleaseWithoutADragOnlyGivesTheMouseBack)
{
    Scene s;
    s.PressAt(0, 0); // the ring: nothing picked, the mouse captured
    s.host.calls.clear();
    s.drag->ImageMouseUp(0, 0);
    EXPECT_EQ(s.host.calls, Calls{Call::ReleaseCapture});
}

TEST(Drag, APointDraggedBackOntoItsGridPositionHasNoVector)
{
    Scene s;
    s.PressAt(4, 4, -2, 2);
    s.MoveBy(4, 4, 15, -9);
    EXPECT_GT(CountInView(s.model, kVectorColour), 0);
    s.MoveBy(4, 4, 0, 0);
    EXPECT_EQ(s.P(4, 4).DX, 0);
    EXPECT_EQ(CountInView(s.model, kVectorColour), 0);
}

TEST(Drag, APressDuringADragEndsItFirst)
{
    Scene s;
    s.PressAt(2, 2);
    s.MoveBy(2, 2, 6, 0);
    s.host.calls.clear();
    s.PressAt(7, 7, 1, 1); // another button pressed on another point
    EXPECT_EQ(s.host.calls, (Calls{Call::Queue, Call::Refresh, Call::ReleaseCapture, Call::Refresh, Call::SetCapture}));
    EXPECT_EQ(s.host.queued, std::vector<Cell>{Cell(2, 2)});
    EXPECT_EQ(s.P(2, 2).Selected, 0);
    EXPECT_EQ(s.drag->DragIndex(), s.Index(7, 7));
    EXPECT_EQ(s.SelectedCount(), 1);
    // A press that misses ends the drag all the same, and starts none.
    s.PressAt(0, 9);
    EXPECT_FALSE(s.drag->Dragging());
    EXPECT_EQ(s.SelectedCount(), 0);
}

} // namespace
} // namespace plexor::test
