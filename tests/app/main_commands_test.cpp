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
    MainCommandsTest() { commands_.start(); }

    void open(const Bitmap& picture)
    {
        ASSERT_TRUE(commands_.document().openFile(writeBmp(folder_, "picture.bmp", picture)));
    }
    void layGridAt(const std::string& step)
    {
        grid.answers.push_back(step);
        commands_.grid().layNewGrid();
    }
    void finishBatches() { ASSERT_TRUE(serveUntilIdle(commands_.worker())); }
    std::vector<std::uint8_t> save()
    {
        const std::string path = folder_.file("saved-" + std::to_string(saves_++) + ".bmp");
        dialogs.saveAnswers.push_back(FileDialogChoice{path, 1});
        commands_.document().savePictureAs();
        return readBytes(path);
    }
    const PictureBuffers& buffers() { return commands_.buffers(); }
    const ControlGrid& controlGrid() { return commands_.controlGrid(); }

    TempFolder folder_;
    int saves_ = 0;
    MainCommands commands_{ports()};
};

TEST_F(MainCommandsTest, StartsEmptyWithTheDefaultStep)
{
    EXPECT_FALSE(commands_.view().gridShown());
    EXPECT_FALSE(buffers().hasPicture());
    EXPECT_FALSE(controlGrid().exists());
    EXPECT_EQ(controlGrid().step(), 48);
    EXPECT_TRUE(commands_.workerControl().running());
}

TEST_F(MainCommandsTest, GridCommandAsksForTheStepAndLaysTheGrid)
{
    layGridAt("20");
    ASSERT_EQ(grid.shownWith.size(), 1u);
    EXPECT_EQ(grid.shownWith[0], "48") << "the step, not the dialog's own text";
    EXPECT_EQ(controlGrid().step(), 20);
    EXPECT_TRUE(commands_.view().gridShown());
    // No picture: one point at (0, 0), no cells, nothing drawn.
    EXPECT_EQ(controlGrid().points().size(), 1u);
    EXPECT_EQ(controlGrid().shape().cellCount, 0);
    EXPECT_TRUE(commands_.cellWork().queue().queuedBytes().empty());
    EXPECT_EQ(pictureView.repaints, 0);

    layGridAt(" 12 ");
    EXPECT_EQ(grid.shownWith[1], "20");
    EXPECT_EQ(controlGrid().step(), 12);
}

TEST_F(MainCommandsTest, RefusedStepsChangeNothing)
{
    open(gradient24(96, 72));
    layGridAt("24");
    const std::vector<float> tables = controlGrid().tables().weights();
    commands_.view().toggleGridShown(); // overlay off
    const int repaints = pictureView.repaints;
    for (const auto& [typed, message] :
         {std::pair<std::string, std::string>{"abc", "'abc' is not a valid integer value"},
          {"", "'' is not a valid integer value"},
          {"12.5", "'12.5' is not a valid integer value"},
          {"99999999999", "'99999999999' is not a valid integer value"},
          {"0", "'0' is not a valid grid step: the step must be at least 1"},
          {"-3", "'-3' is not a valid grid step: the step must be at least 1"}}) {
        errors.shown.clear();
        layGridAt(typed);
        ASSERT_EQ(errors.shown.size(), 1u) << typed;
        EXPECT_EQ(errors.shown[0], message);
        EXPECT_EQ(controlGrid().step(), 24);
        EXPECT_EQ(controlGrid().shape().pointCols, 5);
        EXPECT_EQ(controlGrid().tables().weights(), tables);
        EXPECT_FALSE(commands_.view().gridShown()) << "the check stays as it was";
        EXPECT_EQ(pictureView.repaints, repaints);
    }
    // Steps whose tables cannot be had, also where their size would pass
    // 64 bits: refused before anything is built.
    for (const std::string typed : {"2000000000", "2147483647", "300000000"}) {
        errors.shown.clear();
        layGridAt(typed);
        ASSERT_EQ(errors.shown.size(), 1u) << typed;
        EXPECT_EQ(errors.shown[0], "'" + typed + "' is too large a grid step: its tables do not fit in memory");
        EXPECT_EQ(controlGrid().step(), 24);
    }
    errors.shown.clear();
    commands_.memory().setSource([] { return std::uint64_t{1} << 20; });
    layGridAt("4000"); // tables of 16 x 4001^2 weights cannot be had
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(controlGrid().step(), 24);
    // Nor a step of 1 whose points alone would not fit.
    errors.shown.clear();
    const std::uint64_t tablesOfOne = weightTableBytes(1);
    commands_.memory().setSource([tablesOfOne] { return tablesOfOne + 96 * 72; });
    layGridAt("1");
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(controlGrid().step(), 24);
}

TEST_F(MainCommandsTest, KeysGAndSmallGRunTheGridCommand)
{
    commands_.keyTyped(U'g');
    commands_.keyTyped(U'G');
    commands_.keyTyped(U'h');
    commands_.keyTyped(U'\r');
    EXPECT_EQ(grid.shownWith.size(), 2u);
}

TEST_F(MainCommandsTest, ShowAndResetWithoutPictureOrGrid)
{
    commands_.view().toggleGridShown();
    EXPECT_TRUE(commands_.view().gridShown());
    commands_.view().toggleGridShown();
    EXPECT_FALSE(commands_.view().gridShown());
    EXPECT_EQ(pictureView.repaints, 0);

    open(gradient24(40, 40));
    const int opened = pictureView.repaints;
    commands_.grid().resetGrid(); // no grid: nothing at all
    EXPECT_EQ(pictureView.repaints, opened);
    EXPECT_FALSE(controlGrid().exists());
    commands_.view().toggleGridShown(); // a picture but no grid: only the check
    EXPECT_EQ(pictureView.repaints, opened);
}

TEST_F(MainCommandsTest, OverlaySwitchDecidesWhatIsSaved)
{
    open(gradient24(96, 72));
    layGridAt("24");
    const std::vector<std::uint8_t> withOverlay = save();
    commands_.view().toggleGridShown(); // refreshes without the overlay
    const std::vector<std::uint8_t> without = save();
    ASSERT_EQ(withOverlay.size(), without.size());
    EXPECT_NE(withOverlay, without);
    // Without the overlay the file holds the work plane: the picture with its
    // black bands.
    const Bitmap saved = readBmp(std::span<const std::uint8_t>(without));
    for (std::int32_t y = 0; y < 72; ++y)
        ASSERT_EQ(0, std::memcmp(saved.row(y), buffers().work().colours.data() + 3 * 96 * y, 3 * 96)) << "row " << y;
}

TEST_F(MainCommandsTest, ResetRestoresThePictureAndTheGrid)
{
    open(gradient24(96, 96));
    layGridAt("24");
    commands_.mouse().press(48, 48);
    commands_.mouse().move(55, 50);
    commands_.mouse().release(55, 50);
    finishBatches();
    EXPECT_EQ(controlGrid().point(2, 2).dx, 7);
    commands_.grid().resetGrid();
    EXPECT_EQ(controlGrid().point(2, 2).dx, 0);
    EXPECT_EQ(0, std::memcmp(buffers().work().colours.data(), buffers().source().colours.data(),
                             buffers().work().colours.size()))
        << "a 96 x 96 picture at step 24 has no black bands";
}

TEST_F(MainCommandsTest, DragThenBatchShowsTheDeformedPicture)
{
    open(gradient24(97, 80));
    layGridAt("20");
    commands_.view().toggleGridShown(); // overlay off, so the screen shows the work plane itself
    commands_.mouse().press(42, 41);    // near point (2, 2) at (40, 40)
    EXPECT_EQ(window.captures, 1);
    commands_.mouse().move(49, 45);
    commands_.mouse().release(49, 45);
    EXPECT_EQ(window.releases, 1);
    finishBatches();

    // What the worker should have produced: the cells around the point,
    // deformed the literal way from the picture as opened.
    TestModel expected;
    const std::uint8_t* opened = buffers().source().colours.data();
    loadPicture(expected, 100, 80, [opened](std::int32_t x, std::int32_t y) { return pixelAt(opened, 100, x, y); });
    expected.layGrid(20);
    expected.displace(2, 2, 7, 4);
    for (std::int32_t r = 0; r <= 3; ++r)
        for (std::int32_t c = 0; c <= 3; ++c)
            deformCellLiteral(expected.grid.sampling(), expected.picture.splatTarget(), {c, r});
    ASSERT_TRUE(sameBytes(expected.picture.work().colours, buffers().work().colours));

    const Bitmap saved = readBmp(std::span<const std::uint8_t>(save()));
    for (std::int32_t y = 0; y < 80; ++y)
        ASSERT_EQ(0, std::memcmp(saved.row(y), expected.picture.work().colours.data() + 3 * 100 * y, 300))
            << "row " << y;
}

TEST_F(MainCommandsTest, TheStatusBarReadsOutThePointUnderThePointerOrDragged)
{
    open(gradient24(96, 96));
    layGridAt("24"); // point (c, r) at (24c, 24r)
    commands_.mouse().move(50, 47);
    EXPECT_EQ(window.readout, "Point 2, 2 moved 0, 0");
    commands_.mouse().press(50, 47);
    commands_.mouse().move(60, 40);
    EXPECT_EQ(window.readout, "Point 2, 2 moved 10, -7");
    commands_.mouse().release(60, 40);
    commands_.mouse().move(10, 10);
    EXPECT_EQ(window.readout, "") << "no point within reach";
    finishBatches();
}

TEST_F(MainCommandsTest, GridKeyDuringADragEndsItFirst)
{
    open(gradient24(96, 96));
    layGridAt("24");
    commands_.mouse().press(48, 48);
    commands_.mouse().move(52, 48);
    ASSERT_TRUE(commands_.mouse().drag().dragging());
    commands_.keyTyped(U'g');
    grid.answers.clear();
    EXPECT_FALSE(commands_.mouse().drag().dragging());
    EXPECT_EQ(window.releases, 1) << "ended as a release would";
    commands_.mouse().move(80, 80); // the old drag is over: nothing moves
    for (const ControlPoint& p : controlGrid().points()) EXPECT_EQ(p.dx, 0);
    finishBatches();
}

TEST_F(MainCommandsTest, AFileNamedAtStartIsProposedByTheNextOpen)
{
    const std::string path = writeBmp(folder_, "start.bmp", gradient24(8, 8));
    ASSERT_TRUE(commands_.document().openFile(path));
    commands_.document().openPicture(); // cancelled
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].fileName, path);
}

TEST_F(MainCommandsTest, AboutShowsTheCredits)
{
    commands_.showAbout();
    ASSERT_EQ(window.information.size(), 1u);
    EXPECT_NE(window.information[0].find("Plexor"), std::string::npos);
    EXPECT_NE(window.information[0].find('\n'), std::string::npos) << "a text of several lines";
}

TEST_F(MainCommandsTest, APictureLargerThanTheViewportOpensFittedAndZoomsAboutThePointer)
{
    pictureView.viewportWidthSetting = 400;
    pictureView.viewportHeightSetting = 300;
    open(gradient24(200, 100));
    EXPECT_EQ(commands_.view().currentZoom(), Zoom::actual()) << "a picture that fits opens at full size";
    EXPECT_EQ(window.zoom, "Zoom 100%");

    open(gradient24(1600, 600));
    EXPECT_EQ(commands_.view().currentZoom(), (Zoom{1, 4}));
    EXPECT_EQ(window.zoom, "Zoom 25%");
    EXPECT_EQ(pictureView.shownWidth, 400);
    ASSERT_NE(commands_.view().reducedShown(), nullptr);
    EXPECT_EQ(pictureView.reduced, commands_.view().reducedShown());

    // The ladder, up and down; then Ctrl+wheel keeps the picture pixel under
    // the pointer where it is.
    commands_.view().zoomIn();
    EXPECT_EQ(commands_.view().currentZoom(), (Zoom{1, 3}));
    commands_.view().zoomOut();
    commands_.view().zoomOut();
    EXPECT_EQ(commands_.view().currentZoom(), (Zoom{1, 6}));
    commands_.view().showActualSize();
    EXPECT_EQ(commands_.view().currentZoom(), Zoom::actual());
    EXPECT_EQ(commands_.view().reducedShown(), nullptr);
    pictureView.scrollTo(500, 100);
    const std::int64_t under = Zoom::actual().toPicture(pictureView.scrollX + 120);
    commands_.view().wheelZoom(2, 120, 80); // two notches: to 3
    EXPECT_EQ(commands_.view().currentZoom(), (Zoom{3, 1}));
    EXPECT_EQ(commands_.view().currentZoom().toPicture(pictureView.scrollX + 120), under);
    commands_.view().fitToWindow();
    EXPECT_EQ(commands_.view().currentZoom(), (Zoom{1, 4}));
}

TEST_F(MainCommandsTest, ADragAtAReducedZoomMovesThePointInPicturePixels)
{
    pictureView.viewportWidthSetting = 100;
    pictureView.viewportHeightSetting = 100;
    open(gradient24(200, 200));
    layGridAt("40");
    ASSERT_EQ(commands_.view().currentZoom(), (Zoom{1, 2}));
    // Point (2, 2) at (80, 80) shows at (40, 40).
    commands_.mouse().press(43, 37);
    ASSERT_TRUE(commands_.mouse().drag().dragging());
    commands_.mouse().move(48, 37);
    commands_.mouse().release(48, 37);
    EXPECT_EQ(controlGrid().point(2, 2).dx, 10);
    EXPECT_EQ(controlGrid().point(2, 2).dy, 0);
    finishBatches();
}

TEST_F(MainCommandsTest, ProgressShowsOnlyWhileTheWorkerIsLongBusy)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(commands_.workerControl().progressText(start)) << "idle";
    open(gradient24(400, 400));
    layGridAt("8");
    {
        // The worker cannot take an entry while the gate is held: it stays
        // busy with 16 cells waiting.
        WorkerHold hold(commands_.cellWork().gate());
        commands_.mouse().press(200, 200);
        commands_.mouse().release(200, 200);
        EXPECT_FALSE(commands_.workerControl().progressText(start));
        EXPECT_FALSE(commands_.workerControl().progressText(start + 400ms)) << "not yet half a second";
        EXPECT_EQ(commands_.workerControl().progressText(start + 600ms), std::optional<std::string>("16 cells left"));
    }
    finishBatches();
    EXPECT_FALSE(commands_.workerControl().progressText(start + 700ms)) << "gone once the worker is idle";
}

TEST_F(MainCommandsTest, ShutDownWithTheWorkerBusyOrWaiting)
{
    open(gradient24(400, 300));
    layGridAt("16");
    // Several batches queued and none of their refreshes served: shut-down
    // must serve them itself and end.
    for (int i = 0; i < 5; ++i) {
        commands_.mouse().press(16 * (3 + i), 16 * 4);
        commands_.mouse().move(16 * (3 + i) + 5, 16 * 4 + 3);
        commands_.mouse().release(16 * (3 + i) + 5, 16 * 4 + 3);
    }
    commands_.shutDown();
    EXPECT_FALSE(commands_.workerControl().running());
    EXPECT_FALSE(controlGrid().exists());
    EXPECT_TRUE(buffers().work().colours.empty());
    commands_.workerControl().serveCalls(); // a late call from the event loop is harmless
}

} // namespace
} // namespace plexor::test
