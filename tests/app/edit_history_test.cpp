// Undo and redo give back, bit for bit, the picture, the points, the view
// and the screen bitmap of before and after each edit.

#include "app/edit_history.h"

#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_commands.h"
#include "tests/support/model_setup.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

// Everything an edit may change, as the user would see it.
struct State {
    std::vector<std::uint8_t> work, view, screen;
    std::int32_t step = 0;
    std::vector<std::int32_t> displacements;
    Resampling resampling = Resampling::Exact;

    bool operator==(const State&) const = default;
};

class EditHistoryTest : public ::testing::Test, protected FakeShell {
protected:
    EditHistoryTest() { commands_.start(); }

    void open(std::int32_t width, std::int32_t height, std::int32_t step)
    {
        ASSERT_TRUE(commands_.document().openFile(writeBmp(folder_, "picture.bmp", gradient24(width, height))));
        grid.answers.push_back(std::to_string(step));
        commands_.grid().layNewGrid();
        settle();
    }
    // The worker done with every cell, and the edit under way recorded.
    void settle() { ASSERT_TRUE(serveUntilIdle(commands_.worker())); }
    State now()
    {
        const PictureBuffers& b = commands_.buffers();
        State s;
        s.work.assign(b.work().colours.data(), b.work().colours.data() + b.work().colours.size());
        s.view.assign(b.view().colours.data(), b.view().colours.data() + b.view().colours.size());
        const std::span<const std::uint8_t> rows = commands_.pictures().screenBitmap().bottomUpRows();
        s.screen.assign(rows.begin(), rows.end());
        s.step = commands_.controlGrid().step();
        s.resampling = commands_.controlGrid().resampling();
        for (const ControlPoint& p : commands_.controlGrid().points()) {
            s.displacements.push_back(p.dx);
            s.displacements.push_back(p.dy);
        }
        return s;
    }
    std::int32_t pick(std::int32_t lo, std::int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng_); }
    // A press on an interior point, moves, some far enough to hand the drag
    // over, and a release.
    void drag()
    {
        const ControlGrid& g = commands_.controlGrid();
        if (g.shape().pointCols < 3 || g.shape().pointRows < 3) return;
        const ControlPoint& p = g.point(pick(1, g.shape().pointCols - 2), pick(1, g.shape().pointRows - 2));
        std::int32_t x = p.x + p.dx, y = p.y + p.dy;
        commands_.mouse().press(x, y);
        const std::int32_t step = g.step();
        for (int moves = pick(1, 6); moves > 0; --moves) {
            x += pick(-step, step);
            y += pick(-step, step);
            commands_.mouse().move(x, y);
        }
        commands_.mouse().release(x, y);
    }

    // File > Open grid with a file of random displacements at a random step.
    void openRandomGridFile()
    {
        const PictureBuffers& b = commands_.buffers();
        const std::int32_t step = pick(8, 40);
        const GridGeometry g = gridGeometryFor(b.width(), b.height(), step);
        std::string text = "plexor-grid 1\nsize " + std::to_string(b.width()) + " " + std::to_string(b.height()) +
                           "\nstep " + std::to_string(step) + "\n";
        for (std::int32_t r = 1; r + 1 < g.pointRows; ++r)
            for (std::int32_t c = 1; c + 1 < g.pointCols; ++c)
                if (pick(0, 2) == 0)
                    text += "point " + std::to_string(c) + " " + std::to_string(r) + " " +
                            std::to_string(pick(1 - step, step - 1)) + " " + std::to_string(pick(1 - step, step - 1)) +
                            "\n";
        const std::string path = folder_.file("random.grid");
        writeText(path, text);
        dialogs.openAnswers.push_back(FileDialogChoice{path, 1});
        commands_.grid().openGrid();
    }

    TempFolder folder_;
    std::mt19937 rng_{7};
    MainCommands commands_{ports()};
};

TEST_F(EditHistoryTest, RandomEditsUndoneAndRedoneGiveBackTheirStatesExactly)
{
    struct Case {
        std::int32_t width, height, step;
    };
    for (const Case c : {Case{160, 120, 20}, Case{97, 61, 13}, Case{200, 150, 32}}) {
        open(c.width, c.height, c.step);
        // The state after each edit that can be undone, the first one the
        // state before them all; and the states undone, to be redone.
        std::vector<State> states{now()}, undone;
        for (int op = 0; op < 60; ++op) {
            const int kind = pick(0, 9);
            if (kind <= 1 && states.size() > 1) {
                commands_.undo();
                settle();
                undone.push_back(states.back());
                states.pop_back();
                ASSERT_TRUE(now() == states.back()) << "undo at " << op;
                continue;
            }
            if (kind == 2 && !undone.empty()) {
                commands_.history().redo();
                settle();
                ASSERT_TRUE(now() == undone.back()) << "redo at " << op;
                states.push_back(undone.back());
                undone.pop_back();
                continue;
            }
            const State was = now();
            if (kind == 3) {
                grid.answers.push_back(std::to_string(pick(8, 40)));
                commands_.grid().layNewGrid();
            } else if (kind == 4) {
                commands_.grid().resetGrid();
            } else if (kind == 5) {
                openRandomGridFile();
            } else if (kind == 6) {
                const bool exact = commands_.controlGrid().resampling() == Resampling::Exact;
                commands_.grid().setResampling(exact ? Resampling::Smooth : Resampling::Exact);
            } else {
                drag();
            }
            settle();
            if (now() == was) continue; // nothing changed: no edit to undo
            states.push_back(now());
            undone.clear();
        }
        ASSERT_TRUE(commands_.history().undoText().has_value());
    }
}

TEST_F(EditHistoryTest, MenuTextsNameTheEdit)
{
    EXPECT_FALSE(commands_.history().undoText());
    EXPECT_FALSE(commands_.history().redoText());
    open(160, 120, 20); // point (2, 2) at (40, 40)
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Grid"));
    commands_.grid().resetGrid();
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Grid"))
        << "a reset that changes nothing";
    const auto drag = [&] {
        commands_.mouse().press(40, 40);
        EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Drag"))
            << "a drag under way can be undone";
        commands_.mouse().move(45, 43);
    };
    drag();
    commands_.mouse().release(45, 43);
    commands_.grid().resetGrid();
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Reset"));
    drag();
    commands_.undo(); // ends the drag first
    EXPECT_FALSE(commands_.mouse().drag().dragging());
    EXPECT_EQ(commands_.history().redoText(), std::optional<std::string>("Redo Drag"));
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Reset"));
    commands_.undo();
    commands_.undo();
    commands_.undo();
    EXPECT_EQ(commands_.history().redoText(), std::optional<std::string>("Redo Grid"));
    EXPECT_FALSE(commands_.history().undoText()) << "opening a picture is no edit";
    // A new edit drops what could be redone.
    grid.answers.push_back("30");
    commands_.grid().layNewGrid();
    EXPECT_FALSE(commands_.history().redoText());
    // So does a new picture, and everything else.
    ASSERT_TRUE(commands_.document().openFile(writeBmp(folder_, "other.bmp", gradient24(50, 40))));
    EXPECT_FALSE(commands_.history().undoText());
    EXPECT_FALSE(commands_.history().redoText());
}

// The worker may still be deforming the edit's cells: undo waits for them,
// redo gives back what they made. Run under the thread sanitizer too.
TEST_F(EditHistoryTest, UndoAndRedoWhileTheBatchesRun)
{
    open(400, 300, 8);
    const State before = now();
    commands_.mouse().press(200, 152);
    for (int i = 1; i <= 12; ++i) commands_.mouse().move(200 + 7 * i, 152 + 3 * i); // hands over, again and again
    commands_.mouse().release(284, 188);
    commands_.undo();
    settle();
    ASSERT_TRUE(now() == before);
    commands_.history().redo();
    settle();
    const State after = now();
    ASSERT_FALSE(after == before);
    commands_.undo();
    commands_.history().redo();
    settle();
    EXPECT_TRUE(now() == after);
}

// An undo step of a drag keeps what the drag's cells may have changed, not
// the picture.
TEST_F(EditHistoryTest, ADragCostsMemoryForWhatItChanged)
{
    pictureView.viewportWidthSetting = 4000; // at full size
    pictureView.viewportHeightSetting = 3000;
    open(4000, 3000, 48);
    const std::size_t grid = commands_.history().edits().bytes();
    EXPECT_GT(grid, std::size_t{4000} * 3000 * 3) << "the grid keeps the whole picture from before";
    commands_.mouse().press(1976, 1500); // point (41, 31)
    commands_.mouse().move(1986, 1508);
    commands_.mouse().move(2046, 1508); // a hand-over
    commands_.mouse().release(2046, 1508);
    settle();
    commands_.undo(); // records the drag, then takes it back
    const std::size_t drag = commands_.history().edits().bytes() - grid;
    EXPECT_GT(drag, 0u);
    EXPECT_LT(drag, std::size_t{4} << 20) << "a few megabytes at most";
}

// Nudges of one choice, one after the other, are one edit; another choice
// starts another. Undo and redo give back the pixels and the points.
TEST_F(EditHistoryTest, NudgesOfOneChoiceAreOneEdit)
{
    open(160, 120, 20); // point (c, r) at (20c, 20r)
    const auto ctrlClick = [&](std::int32_t x, std::int32_t y) {
        commands_.mouse().press(x, y, KeyModifiers{.control = true});
        commands_.mouse().release(x, y, KeyModifiers{.control = true});
    };
    ctrlClick(40, 40);
    ctrlClick(100, 60);
    const State chosen = now();
    commands_.selection().nudge(1, 0);
    commands_.selection().nudge(0, 10);
    commands_.selection().nudge(0, 10); // cut to 9: a point stays below a step
    settle();
    EXPECT_EQ(commands_.controlGrid().point(5, 3).dy, 19);
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Nudge"));
    const State nudged = now();
    commands_.selection().nudge(0, 1); // no point can move down: nothing at all
    EXPECT_TRUE(now() == nudged);

    ctrlClick(101, 79); // (5, 3) no longer chosen
    commands_.selection().nudge(-1, 0);
    settle();
    EXPECT_EQ(commands_.controlGrid().point(2, 2).dx, 0);
    EXPECT_EQ(commands_.controlGrid().point(5, 3).dx, 1);
    const State last = now();
    commands_.undo();
    settle();
    EXPECT_EQ(now().work, nudged.work);
    EXPECT_EQ(now().displacements, nudged.displacements);
    commands_.undo();
    settle();
    EXPECT_EQ(now().work, chosen.work);
    EXPECT_EQ(now().displacements, chosen.displacements);
    EXPECT_EQ(commands_.controlGrid().selection().size(), 1u) << "undo keeps the choice";
    commands_.history().redo();
    commands_.history().redo();
    settle();
    EXPECT_TRUE(now() == last);
}

// An edit of a given size that changes nothing.
class SizedEdit final : public Edit {
public:
    explicit SizedEdit(std::size_t bytes) noexcept : bytes_(bytes) {}
    const char* name() const noexcept override { return "Sized"; }
    void undo(EditTarget&) const override {}
    void redo(EditTarget&) const override {}
    std::size_t bytes() const noexcept override { return bytes_; }

private:
    std::size_t bytes_;
};

TEST(EditHistory, KeepsWithinItsBudgetByDroppingTheOldest)
{
    TestModel model;
    WorkerControl worker(model.work, model.grid, model.picture);
    EditTarget target{model.grid, model.picture, model.work, worker};
    EditHistory history;
    const std::size_t size = 1000;
    history.markClean();
    for (int i = 0; i < 5; ++i) {
        history.push(std::make_unique<SizedEdit>(size), 3 * size);
        if (i == 1) history.markClean();
    }
    EXPECT_LE(history.bytes(), 3 * size);
    EXPECT_GE(history.bytes(), 2 * size);
    // The saved picture lies two edits back, within what is kept; one edit
    // more and the edits back to it are gone.
    const auto undoTo = [&history, &target](int edits) {
        for (int i = 0; i < edits; ++i) history.undo(target);
        const bool clean = history.isClean();
        for (int i = 0; i < edits; ++i) history.redo(target);
        return clean;
    };
    EXPECT_TRUE(undoTo(3));
    history.push(std::make_unique<SizedEdit>(size), 3 * size);
    EXPECT_FALSE(undoTo(3));
    history.push(std::make_unique<SizedEdit>(100 * size), 3 * size); // more than the budget alone
    EXPECT_FALSE(history.canUndo());
    // A quarter of what the machine can give, at most 1 GiB.
    EXPECT_EQ(history.budget(std::uint64_t{400} << 20), std::size_t{100} << 20);
    EXPECT_EQ(history.budget(std::uint64_t{64} << 30), std::size_t{1} << 30);
}

} // namespace
} // namespace plexor::test
