#include "app/main_commands.h"

#include <chrono>
#include <cstring>
#include <deque>
#include <thread>

#include <gtest/gtest.h>

#include "engine/deform_cell_internal.h"
#include "engine/weight_tables.h"
#include "platform/bmp_reader.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

using namespace std::chrono_literals;

class MainCommandsTest : public ::testing::Test, protected FakeShell {
protected:
    MainCommandsTest() { commands.FormCreate(); }

    void Open(const TBitmap& picture) { ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "picture.bmp", picture))); }
    void Grid(const std::string& step)
    {
        grid.answers.push_back(step);
        commands.SBGridClick();
    }
    void FinishBatches() { ASSERT_TRUE(ServeUntilIdle(commands.Worker())); }
    std::vector<std::uint8_t> Save()
    {
        const std::string path = folder.File("saved-" + std::to_string(saves++) + ".bmp");
        dialogs.saveAnswers.push_back(FileDialogChoice{path, 1});
        commands.MISaveAsClick();
        return ReadBytes(path);
    }
    DeformModel& model() { return commands.Model(); }

    TempFolder folder;
    int saves = 0;
    MainCommands commands{Ports()};
};

TEST_F(MainCommandsTest, StartsEmptyWithTheDefaultStep)
{
    EXPECT_FALSE(commands.ShowChecked());
    EXPECT_FALSE(model().ImageLoaded);
    EXPECT_FALSE(model().GridExists());
    EXPECT_EQ(model().GridStepX, 48);
    EXPECT_EQ(model().GridStepY, 48);
    EXPECT_TRUE(commands.WorkerRunning());
}

TEST_F(MainCommandsTest, GridCommandAsksForTheStepAndLaysTheGrid)
{
    Grid("20");
    ASSERT_EQ(grid.shownWith.size(), 1u);
    EXPECT_EQ(grid.shownWith[0], "48") << "the step, not the dialog's own text";
    EXPECT_EQ(model().GridStepX, 20);
    EXPECT_EQ(model().GridStepY, 20);
    EXPECT_TRUE(commands.ShowChecked());
    EXPECT_TRUE(window.checked);
    // No picture: one point at (0, 0), no cells, nothing drawn.
    EXPECT_EQ(model().ControlPoints.size(), 1u);
    EXPECT_EQ(model().CellCount(), 0);
    EXPECT_TRUE(model().CellQueued.empty());
    EXPECT_EQ(image.repaints, 0);

    Grid(" 12 ");
    EXPECT_EQ(grid.shownWith[1], "20");
    EXPECT_EQ(model().GridStepX, 12);
}

TEST_F(MainCommandsTest, RefusedStepsChangeNothing)
{
    Open(Gradient24(96, 72));
    Grid("24");
    const std::vector<float> tables = model().WeightTable;
    commands.MIShowClick(); // overlay off
    const int repaints = image.repaints;
    for (const auto& [typed, message] :
         {std::pair<std::string, std::string>{"abc", "'abc' is not a valid integer value"},
          {"", "'' is not a valid integer value"},
          {"12.5", "'12.5' is not a valid integer value"},
          {"99999999999", "'99999999999' is not a valid integer value"},
          {"0", "'0' is not a valid grid step: the step must be at least 1"},
          {"-3", "'-3' is not a valid grid step: the step must be at least 1"}}) {
        errors.shown.clear();
        Grid(typed);
        ASSERT_EQ(errors.shown.size(), 1u) << typed;
        EXPECT_EQ(errors.shown[0], message);
        EXPECT_EQ(model().GridStepX, 24);
        EXPECT_EQ(model().PointCols(), 5);
        EXPECT_EQ(model().WeightTable, tables);
        EXPECT_FALSE(commands.ShowChecked()) << "the check stays as it was";
        EXPECT_EQ(image.repaints, repaints);
    }
    // Steps whose tables cannot be had, also where their size would pass
    // 64 bits: refused before anything is built.
    for (const std::string typed : {"2000000000", "2147483647", "300000000"}) {
        errors.shown.clear();
        Grid(typed);
        ASSERT_EQ(errors.shown.size(), 1u) << typed;
        EXPECT_EQ(errors.shown[0], "'" + typed + "' is too large a grid step: its tables do not fit in memory");
        EXPECT_EQ(model().GridStepX, 24);
    }
    errors.shown.clear();
    model().AvailableMemory = [] { return std::uint64_t{1} << 20; };
    Grid("4000"); // tables of 16 x 4001^2 weights cannot be had
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(model().GridStepX, 24);
    // Nor a step of 1 whose points alone would not fit.
    errors.shown.clear();
    const std::uint64_t tablesOfOne = WeightTableBytes(1);
    model().AvailableMemory = [tablesOfOne] { return tablesOfOne + 96 * 72; };
    Grid("1");
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(model().GridStepX, 24);
}

TEST_F(MainCommandsTest, KeysGAndSmallGRunTheGridCommand)
{
    commands.FormKeyPress(U'g');
    commands.FormKeyPress(U'G');
    commands.FormKeyPress(U'h');
    commands.FormKeyPress(U'\r');
    EXPECT_EQ(grid.shownWith.size(), 2u);
}

TEST_F(MainCommandsTest, ShowAndResetWithoutPictureOrGrid)
{
    commands.MIShowClick();
    EXPECT_TRUE(commands.ShowChecked());
    EXPECT_TRUE(window.checked);
    commands.MIShowClick();
    EXPECT_FALSE(window.checked);
    EXPECT_EQ(image.repaints, 0);

    Open(Gradient24(40, 40));
    const int opened = image.repaints;
    commands.SBDefaultClick(); // no grid: nothing at all
    EXPECT_EQ(image.repaints, opened);
    EXPECT_FALSE(model().GridExists());
    commands.MIShowClick(); // a picture but no grid: only the check
    EXPECT_EQ(image.repaints, opened);
}

TEST_F(MainCommandsTest, OverlaySwitchDecidesWhatIsSaved)
{
    Open(Gradient24(96, 72));
    Grid("24");
    const std::vector<std::uint8_t> withOverlay = Save();
    commands.MIShowClick(); // refreshes without the overlay
    const std::vector<std::uint8_t> without = Save();
    ASSERT_EQ(withOverlay.size(), without.size());
    EXPECT_NE(withOverlay, without);
    // Without the overlay the file holds WorkImage: the picture with its
    // black bands.
    const TBitmap saved = ReadBmp(std::span<const std::uint8_t>(without));
    for (std::int32_t y = 0; y < 72; ++y)
        ASSERT_EQ(0, std::memcmp(saved.Row(y), model().WorkImage.data() + 3 * 96 * y, 3 * 96)) << "row " << y;
}

TEST_F(MainCommandsTest, ResetRestoresThePictureAndTheGrid)
{
    Open(Gradient24(96, 96));
    Grid("24");
    commands.ImageMouseDown(48, 48);
    commands.ImageMouseMove(55, 50);
    commands.ImageMouseUp(55, 50);
    FinishBatches();
    EXPECT_EQ(model().Point(2, 2).DX, 7);
    commands.SBDefaultClick();
    EXPECT_EQ(model().Point(2, 2).DX, 0);
    EXPECT_EQ(0, std::memcmp(model().WorkImage.data(), model().SourceImage.data(), model().WorkImage.size()))
        << "a 96 x 96 picture at step 24 has no black bands";
}

TEST_F(MainCommandsTest, DragThenBatchShowsTheDeformedPicture)
{
    Open(Gradient24(97, 80));
    Grid("20");
    commands.MIShowClick();          // overlay off, so the screen shows WorkImage itself
    commands.ImageMouseDown(42, 41); // near point (2, 2) at (40, 40)
    EXPECT_EQ(window.captures, 1);
    commands.ImageMouseMove(49, 45);
    commands.ImageMouseUp(49, 45);
    EXPECT_EQ(window.releases, 1);
    FinishBatches();

    // What the worker should have produced: the cells around the point,
    // deformed the literal way from the picture as opened.
    DeformModel expected;
    ASSERT_TRUE(expected.AllocateBuffers(100, 80));
    std::memcpy(expected.SourceImage.data(), model().SourceImage.data(), model().SourceImage.size());
    expected.LayGrid(20);
    expected.Point(2, 2).DX = 7;
    expected.Point(2, 2).DY = 4;
    for (std::int32_t r = 0; r <= 3; ++r)
        for (std::int32_t c = 0; c <= 3; ++c) DeformCellLiteral(expected, {c, r});
    ASSERT_EQ(0, std::memcmp(expected.WorkImage.data(), model().WorkImage.data(), model().WorkImage.size()));

    const TBitmap saved = ReadBmp(std::span<const std::uint8_t>(Save()));
    for (std::int32_t y = 0; y < 80; ++y)
        ASSERT_EQ(0, std::memcmp(saved.Row(y), expected.WorkImage.data() + 3 * 100 * y, 300)) << "row " << y;
}

TEST_F(MainCommandsTest, GridKeyDuringADragEndsItFirst)
{
    Open(Gradient24(96, 96));
    Grid("24");
    commands.ImageMouseDown(48, 48);
    commands.ImageMouseMove(52, 48);
    ASSERT_TRUE(model().Dragging);
    commands.FormKeyPress(U'g');
    grid.answers.clear();
    EXPECT_FALSE(model().Dragging);
    EXPECT_EQ(window.releases, 1) << "ended as a release would";
    commands.ImageMouseMove(80, 80); // the old drag is over: nothing moves
    for (const TControlPoint& p : model().ControlPoints) EXPECT_EQ(p.DX, 0);
    FinishBatches();
}

TEST_F(MainCommandsTest, AFileNamedAtStartIsProposedByTheNextOpen)
{
    const std::string path = WriteBmp(folder, "start.bmp", Gradient24(8, 8));
    ASSERT_TRUE(commands.OpenFile(path));
    commands.MIOpenClick(); // cancelled
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].FileName, path);
}

TEST_F(MainCommandsTest, AboutShowsTheCredits)
{
    commands.MIAboutClick();
    ASSERT_EQ(window.information.size(), 1u);
    EXPECT_NE(window.information[0].find("Plexor"), std::string::npos);
    EXPECT_NE(window.information[0].find('\n'), std::string::npos) << "a text of several lines";
}

TEST_F(MainCommandsTest, APictureLargerThanTheViewportOpensFittedAndZoomsAboutThePointer)
{
    image.viewportWidth = 400;
    image.viewportHeight = 300;
    Open(Gradient24(200, 100));
    EXPECT_EQ(commands.CurrentZoom(), Zoom::Actual()) << "a picture that fits opens at full size";
    EXPECT_EQ(window.zoom, "Zoom 100%");

    Open(Gradient24(1600, 600));
    EXPECT_EQ(commands.CurrentZoom(), (Zoom{1, 4}));
    EXPECT_EQ(window.zoom, "Zoom 25%");
    EXPECT_EQ(image.shownWidth, 400);
    ASSERT_NE(commands.ReducedShown(), nullptr);
    EXPECT_EQ(image.reduced, commands.ReducedShown());

    // The ladder, up and down; then Ctrl+wheel keeps the picture pixel under
    // the pointer where it is.
    commands.MIZoomInClick();
    EXPECT_EQ(commands.CurrentZoom(), (Zoom{1, 3}));
    commands.MIZoomOutClick();
    commands.MIZoomOutClick();
    EXPECT_EQ(commands.CurrentZoom(), (Zoom{1, 6}));
    commands.MIActualSizeClick();
    EXPECT_EQ(commands.CurrentZoom(), Zoom::Actual());
    EXPECT_EQ(commands.ReducedShown(), nullptr);
    image.ScrollTo(500, 100);
    const std::int64_t under = Zoom::Actual().ToPicture(image.scrollX + 120);
    commands.WheelZoom(2, 120, 80); // two notches: to 3
    EXPECT_EQ(commands.CurrentZoom(), (Zoom{3, 1}));
    EXPECT_EQ(commands.CurrentZoom().ToPicture(image.scrollX + 120), under);
    commands.MIFitClick();
    EXPECT_EQ(commands.CurrentZoom(), (Zoom{1, 4}));
}

TEST_F(MainCommandsTest, ADragAtAReducedZoomMovesThePointInPicturePixels)
{
    image.viewportWidth = 100;
    image.viewportHeight = 100;
    Open(Gradient24(200, 200));
    Grid("40");
    ASSERT_EQ(commands.CurrentZoom(), (Zoom{1, 2}));
    // Point (2, 2) at (80, 80) shows at (40, 40).
    commands.ImageMouseDown(43, 37);
    ASSERT_TRUE(model().Dragging);
    commands.ImageMouseMove(48, 37);
    commands.ImageMouseUp(48, 37);
    EXPECT_EQ(model().Point(2, 2).DX, 10);
    EXPECT_EQ(model().Point(2, 2).DY, 0);
    FinishBatches();
}

TEST_F(MainCommandsTest, ProgressShowsOnlyWhileTheWorkerIsLongBusy)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(commands.ProgressText(start)) << "idle";
    Open(Gradient24(400, 400));
    Grid("8");
    {
        // The worker cannot take an entry while the gate is held: it stays
        // busy with 16 cells waiting.
        WorkerHold hold(model().Gate);
        commands.ImageMouseDown(200, 200);
        commands.ImageMouseUp(200, 200);
        EXPECT_FALSE(commands.ProgressText(start));
        EXPECT_FALSE(commands.ProgressText(start + 400ms)) << "not yet half a second";
        EXPECT_EQ(commands.ProgressText(start + 600ms), std::optional<std::string>("16 cells left"));
    }
    FinishBatches();
    EXPECT_FALSE(commands.ProgressText(start + 700ms)) << "gone once the worker is idle";
}

TEST_F(MainCommandsTest, ShutDownWithTheWorkerBusyOrWaiting)
{
    Open(Gradient24(400, 300));
    Grid("16");
    // Several batches queued and none of their refreshes served: shut-down
    // must serve them itself and end.
    for (int i = 0; i < 5; ++i) {
        commands.ImageMouseDown(16 * (3 + i), 16 * 4);
        commands.ImageMouseMove(16 * (3 + i) + 5, 16 * 4 + 3);
        commands.ImageMouseUp(16 * (3 + i) + 5, 16 * 4 + 3);
    }
    commands.FormDestroy();
    EXPECT_FALSE(commands.WorkerRunning());
    EXPECT_FALSE(model().GridExists());
    EXPECT_TRUE(model().WorkImage.empty());
    commands.ServeWorkerCalls(); // a late call from the event loop is harmless
}

} // namespace
} // namespace plexor::test
