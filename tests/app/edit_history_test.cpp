// Undo and redo give back, bit for bit, the picture, the points, the view
// and the screen bitmap of before and after each edit.

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_commands.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

// Everything an edit may change, as the user would see it.
struct State {
    std::vector<std::uint8_t> work, view, screen;
    std::int32_t step = 0;
    std::vector<std::int32_t> displacements;

    bool operator==(const State&) const = default;
};

class EditHistoryTest : public ::testing::Test, protected FakeShell {
protected:
    EditHistoryTest() { commands.FormCreate(); }

    void Open(std::int32_t width, std::int32_t height, std::int32_t step)
    {
        ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "picture.bmp", Gradient24(width, height))));
        grid.answers.push_back(std::to_string(step));
        commands.SBGridClick();
        Settle();
    }
    // The worker done with every cell, and the edit under way recorded.
    void Settle() { ASSERT_TRUE(ServeUntilIdle(commands.Worker())); }
    State Now()
    {
        DeformModel& m = commands.Model();
        State s;
        s.work.assign(m.WorkImage.data(), m.WorkImage.data() + m.WorkImage.size());
        s.view.assign(m.ViewImage.data(), m.ViewImage.data() + m.ViewImage.size());
        const std::span<const std::uint8_t> rows = commands.ScreenBitmap().BottomUpRows();
        s.screen.assign(rows.begin(), rows.end());
        s.step = m.GridStepX;
        for (const TControlPoint& p : m.ControlPoints) {
            s.displacements.push_back(p.DX);
            s.displacements.push_back(p.DY);
        }
        return s;
    }
    std::int32_t Pick(std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng); }
    // A press on an interior point, moves, some far enough to hand the drag
    // over, and a release.
    void Drag()
    {
        DeformModel& m = commands.Model();
        if (m.PointCols() < 3 || m.PointRows() < 3) return;
        const TControlPoint& p = m.Point(Pick(1, m.PointCols() - 2), Pick(1, m.PointRows() - 2));
        std::int32_t x = p.X + p.DX, y = p.Y + p.DY;
        commands.ImageMouseDown(x, y);
        const std::int32_t step = m.GridStepX;
        for (int moves = Pick(1, 6); moves > 0; --moves) {
            x += Pick(-step, step);
            y += Pick(-step, step);
            commands.ImageMouseMove(x, y);
        }
        commands.ImageMouseUp(x, y);
    }

    // File > Open grid with a file of random displacements at a random step.
    void OpenRandomGridFile()
    {
        const DeformModel& m = commands.Model();
        const std::int32_t step = Pick(8, 40);
        const GridGeometry g = GridGeometryFor(m.ImageWidth, m.ImageHeight, step, step);
        std::string text = "plexor-grid 1\nsize " + std::to_string(m.ImageWidth) + " " + std::to_string(m.ImageHeight) +
                           "\nstep " + std::to_string(step) + "\n";
        for (std::int32_t r = 1; r + 1 < g.PointRows; ++r)
            for (std::int32_t c = 1; c + 1 < g.PointCols; ++c)
                if (Pick(0, 2) == 0)
                    text += "point " + std::to_string(c) + " " + std::to_string(r) + " " +
                            std::to_string(Pick(1 - step, step - 1)) + " " + std::to_string(Pick(1 - step, step - 1)) +
                            "\n";
        const std::string path = folder.File("random.grid");
        WriteText(path, text);
        dialogs.openAnswers.push_back(FileDialogChoice{path, 1});
        commands.MIOpenGridClick();
    }

    TempFolder folder;
    std::mt19937 rng{7};
    MainCommands commands{Ports()};
};

TEST_F(EditHistoryTest, RandomEditsUndoneAndRedoneGiveBackTheirStatesExactly)
{
    struct Case {
        std::int32_t width, height, step;
    };
    for (const Case c : {Case{160, 120, 20}, Case{97, 61, 13}, Case{200, 150, 32}}) {
        Open(c.width, c.height, c.step);
        // The state after each edit that can be undone, the first one the
        // state before them all; and the states undone, to be redone.
        std::vector<State> states{Now()}, undone;
        for (int op = 0; op < 60; ++op) {
            const int kind = Pick(0, 9);
            if (kind <= 1 && states.size() > 1) {
                commands.MIUndoClick();
                Settle();
                undone.push_back(states.back());
                states.pop_back();
                ASSERT_TRUE(Now() == states.back()) << "undo at " << op;
                continue;
            }
            if (kind == 2 && !undone.empty()) {
                commands.MIRedoClick();
                Settle();
                ASSERT_TRUE(Now() == undone.back()) << "redo at " << op;
                states.push_back(undone.back());
                undone.pop_back();
                continue;
            }
            const State was = Now();
            if (kind == 3) {
                grid.answers.push_back(std::to_string(Pick(8, 40)));
                commands.SBGridClick();
            } else if (kind == 4) {
                commands.SBDefaultClick();
            } else if (kind == 5) {
                OpenRandomGridFile();
            } else {
                Drag();
            }
            Settle();
            if (Now() == was) continue; // nothing changed: no edit to undo
            states.push_back(Now());
            undone.clear();
        }
        ASSERT_TRUE(commands.UndoText().has_value());
    }
}

TEST_F(EditHistoryTest, MenuTextsNameTheEdit)
{
    EXPECT_FALSE(commands.UndoText());
    EXPECT_FALSE(commands.RedoText());
    Open(160, 120, 20); // point (2, 2) at (40, 40)
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Grid"));
    commands.SBDefaultClick();
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Grid")) << "a reset that changes nothing";
    const auto drag = [&] {
        commands.ImageMouseDown(40, 40);
        EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Drag")) << "a drag under way can be undone";
        commands.ImageMouseMove(45, 43);
    };
    drag();
    commands.ImageMouseUp(45, 43);
    commands.SBDefaultClick();
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Reset"));
    drag();
    commands.MIUndoClick(); // ends the drag first
    EXPECT_FALSE(commands.Model().Dragging);
    EXPECT_EQ(commands.RedoText(), std::optional<std::string>("Redo Drag"));
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Reset"));
    commands.MIUndoClick();
    commands.MIUndoClick();
    commands.MIUndoClick();
    EXPECT_EQ(commands.RedoText(), std::optional<std::string>("Redo Grid"));
    EXPECT_FALSE(commands.UndoText()) << "opening a picture is no edit";
    // A new edit drops what could be redone.
    grid.answers.push_back("30");
    commands.SBGridClick();
    EXPECT_FALSE(commands.RedoText());
    // So does a new picture, and everything else.
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "other.bmp", Gradient24(50, 40))));
    EXPECT_FALSE(commands.UndoText());
    EXPECT_FALSE(commands.RedoText());
}

// The worker may still be deforming the edit's cells: undo waits for them,
// redo gives back what they made. Run under the thread sanitizer too.
TEST_F(EditHistoryTest, UndoAndRedoWhileTheBatchesRun)
{
    Open(400, 300, 8);
    const State before = Now();
    commands.ImageMouseDown(200, 152);
    for (int i = 1; i <= 12; ++i) commands.ImageMouseMove(200 + 7 * i, 152 + 3 * i); // hands over, again and again
    commands.ImageMouseUp(284, 188);
    commands.MIUndoClick();
    Settle();
    ASSERT_TRUE(Now() == before);
    commands.MIRedoClick();
    Settle();
    const State after = Now();
    ASSERT_FALSE(after == before);
    commands.MIUndoClick();
    commands.MIRedoClick();
    Settle();
    EXPECT_TRUE(Now() == after);
}

// An undo step of a drag keeps what the drag's cells may have changed, not
// the picture.
TEST_F(EditHistoryTest, ADragCostsMemoryForWhatItChanged)
{
    image.viewportWidth = 4000; // at full size
    image.viewportHeight = 3000;
    Open(4000, 3000, 48);
    const std::size_t grid = commands.History().Bytes();
    EXPECT_GT(grid, std::size_t{4000} * 3000 * 3) << "the grid keeps the whole picture from before";
    commands.ImageMouseDown(1976, 1500); // point (41, 31)
    commands.ImageMouseMove(1986, 1508);
    commands.ImageMouseMove(2046, 1508); // a hand-over
    commands.ImageMouseUp(2046, 1508);
    Settle();
    commands.MIUndoClick(); // records the drag, then takes it back
    const std::size_t drag = commands.History().Bytes() - grid;
    EXPECT_GT(drag, 0u);
    EXPECT_LT(drag, std::size_t{4} << 20) << "a few megabytes at most";
}

TEST(EditHistory, KeepsWithinItsBudgetByDroppingTheOldest)
{
    const auto step = [](std::size_t bytes) {
        EditStep s;
        s.Name = "Drag";
        s.Points.resize(bytes / sizeof(EditStep::PointChange));
        return s;
    };
    EditHistory history;
    const std::size_t size = step(1000).Bytes();
    for (int i = 0; i < 5; ++i) history.Push(step(1000), 3 * size);
    EXPECT_LE(history.Bytes(), 3 * size);
    EXPECT_GE(history.Bytes(), 2 * size);
    history.Push(step(100000), 3 * size); // more than the budget alone
    EXPECT_FALSE(history.CanUndo());
    // A quarter of what the machine can give, at most 1 GiB.
    EXPECT_EQ(history.Budget(std::uint64_t{400} << 20), std::size_t{100} << 20);
    EXPECT_EQ(history.Budget(std::uint64_t{64} << 30), std::size_t{1} << 30);
}

} // namespace
} // namespace plexor::test
