// Grid files in the window (File > Open grid, Save grid) and without it
// (headless application), which must write the same pixels.

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "app/headless_apply.h"
#include "app/main_commands.h"
#include "engine/grid_file.h"
#include "tests/support/failing_write_ops.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

class GridFileCommandsTest : public ::testing::Test, protected FakeShell {
protected:
    GridFileCommandsTest() { commands_.start(); }

    std::string writeGridText(const std::string& name, const std::string& text)
    {
        const std::string path = folder_.file(name);
        writeText(path, text);
        return path;
    }
    void openGrid(const std::string& path)
    {
        dialogs.openAnswers.push_back(FileDialogChoice{path, 1});
        commands_.grid().openGrid();
        ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    }
    std::size_t apply(const HeadlessApply& request, FileWriteOps& writes, std::ostream& errors,
                      std::istream* standardInput = nullptr)
    {
        HeadlessServices services{codec, writes, ParallelDeformOptions{3, 0}, systemAvailableMemory, errors};
        services.standardInput = standardInput;
        return applyGridToFiles(request, services);
    }

    // The picture as the window shows it without the overlay, as a file.
    std::vector<std::uint8_t> saveShown(const std::string& name)
    {
        if (commands_.view().gridShown()) commands_.view().toggleGridShown();
        dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file(name), 1});
        commands_.pictures().savePictureAs();
        return readBytes(folder_.file(name));
    }
    std::string saveGrid(const std::string& name)
    {
        dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file(name), 1});
        commands_.grid().saveGrid();
        return folder_.file(name);
    }
    std::vector<std::uint8_t> applied(const std::string& grid, const std::string& name)
    {
        FileWriteOps writes;
        std::ostringstream errors;
        EXPECT_EQ(apply({grid, {picture_}, folder_.file(name), "", ""}, writes, errors), 0u) << errors.str();
        return readBytes(folder_.file(name));
    }
    void layGrid(const std::string& step, bool overResult = false)
    {
        grid.answers.push_back(step);
        if (overResult)
            commands_.grid().layGridOverResult();
        else
            commands_.grid().layNewGrid();
    }
    void dragBy(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy)
    {
        commands_.mouse().press(x, y);
        commands_.mouse().move(x + dx, y + dy);
        commands_.mouse().release(x + dx, y + dy);
        ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    }

    TempFolder folder_;
    MainCommands commands_{ports()};
    const std::string picture_ = writeBmp(folder_, "picture.bmp", gradient24(161, 121)); // widened to 164
    const std::string gridFile_ = writeGridText("moves.grid", "plexor-grid 1\nsize 164 121\nstep 20\n"
                                                              "point 2 2 7 -5\npoint 3 2 -19 19\npoint 6 4 0 11\n");
};

TEST_F(GridFileCommandsTest, TheWindowAndTheCommandLineWriteTheSamePixels)
{
    ASSERT_TRUE(commands_.document().openFile(picture_));
    openGrid(gridFile_);
    EXPECT_TRUE(commands_.view().gridShown()) << "Grid > Show is on";
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Open Grid"));
    commands_.view().toggleGridShown();
    const std::string fromWindow = folder_.file("window.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{fromWindow, 1});
    commands_.document().savePictureAs();

    FileWriteOps writes;
    std::ostringstream errors;
    const std::string headless = folder_.file("headless.bmp");
    EXPECT_EQ(apply({gridFile_, {picture_}, headless, "", ""}, writes, errors), 0u) << errors.str();
    EXPECT_EQ(readBytes(headless), readBytes(fromWindow));
    EXPECT_NE(readBytes(headless).size(), readBytes(picture_).size()) << "written at the widened width";

    // Undone, the picture is as it was; redone, as the grid file made it.
    const ByteBuffer& work = commands_.buffers().work().colours;
    const std::vector<std::uint8_t> after(work.data(), work.data() + work.size());
    commands_.undo();
    EXPECT_FALSE(commands_.controlGrid().exists());
    commands_.history().redo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_TRUE(std::equal(after.begin(), after.end(), work.data()));
}

TEST_F(GridFileCommandsTest, AFileThatDoesNotSuitChangesNothing)
{
    ASSERT_TRUE(commands_.document().openFile(picture_));
    grid.answers.push_back("20");
    commands_.grid().layNewGrid();
    commands_.mouse().press(62, 40); // point (3, 2)
    commands_.mouse().move(70, 45);
    commands_.mouse().release(70, 45);
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    const PictureBuffers& b = commands_.buffers();
    const std::vector<std::uint8_t> work(b.work().colours.data(), b.work().colours.data() + b.work().colours.size());
    const GridFile before = gridFileOf(commands_.controlGrid(), b.width(), b.height());

    openGrid(writeGridText("wide.grid", "plexor-grid 1\nsize 168 121\nstep 20\n"));
    openGrid(writeGridText("ring.grid", "plexor-grid 1\n# moved\nsize 164 121\nstep 20\npoint 0 1 1 1\n"));
    openGrid(folder_.file("missing.grid"));
    ASSERT_EQ(errors.shown.size(), 3u);
    EXPECT_NE(errors.shown[0].find("wide.grid: line 2: the grid was made on a picture of 168 x 121"),
              std::string::npos);
    EXPECT_NE(errors.shown[1].find("ring.grid: line 5: point 0 1 lies on the grid's outer ring"), std::string::npos);
    EXPECT_NE(errors.shown[2].find("Cannot open file"), std::string::npos);
    EXPECT_TRUE(std::equal(work.begin(), work.end(), b.work().colours.data()));
    EXPECT_EQ(gridFileOf(commands_.controlGrid(), b.width(), b.height()).passes, before.passes);
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Drag"));

    // What Save grid writes lays the same grid again.
    const std::string saved = folder_.file("kept.grid");
    dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
    commands_.grid().saveGrid();
    EXPECT_EQ(dialogs.saveRequests.back().fileName, folder_.file("picture.grid"));
    commands_.grid().resetGrid();
    openGrid(saved);
    EXPECT_EQ(gridFileOf(commands_.controlGrid(), b.width(), b.height()).passes, before.passes);
    EXPECT_EQ(errors.shown.size(), 3u);
}

TEST_F(GridFileCommandsTest, HeadlessFailuresAreReportedAndLeaveNoFile)
{
    const std::string small = writeBmp(folder_, "small.bmp", gradient24(40, 30));
    const std::string out = folder_.file("out");
    std::filesystem::create_directory(out);
    FileWriteOps writes;
    std::ostringstream errors;
    EXPECT_EQ(apply({gridFile_, {small, picture_, folder_.file("none.bmp")}, "", out, ""}, writes, errors), 2u);
    EXPECT_NE(errors.str().find("small.bmp: Cannot use the grid file " + gridFile_ + ": line 2:"), std::string::npos)
        << errors.str();
    EXPECT_NE(errors.str().find("none.bmp: Cannot open file"), std::string::npos);
    const std::string lines = errors.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
    EXPECT_EQ(std::filesystem::directory_iterator(out)->path().filename(), "picture.bmp");

    // Neither a result of the same name from another folder nor one over its
    // own picture is written.
    std::filesystem::create_directory(folder_.file("other"));
    const std::string namesake = writeBmp(folder_, "other/picture.bmp", gradient24(164, 121));
    const std::vector<std::uint8_t> first = readBytes(folder_.file("out/picture.bmp"));
    const std::vector<std::uint8_t> original = readBytes(namesake);
    EXPECT_EQ(apply({gridFile_, {picture_, namesake}, "", out, ""}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("other/picture.bmp: " + out + "/picture.bmp is written already"), std::string::npos);
    EXPECT_EQ(readBytes(folder_.file("out/picture.bmp")), first);
    EXPECT_EQ(apply({gridFile_, {namesake}, "", folder_.file("other"), ""}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("the result would replace the picture itself"), std::string::npos);
    EXPECT_EQ(readBytes(namesake), original);

    // A disk that fills up, and a malformed grid file.
    FailingOps full;
    full.room = 1000;
    const std::string target = folder_.file("full.bmp");
    EXPECT_EQ(apply({gridFile_, {picture_}, target, "", ""}, full, errors), 1u);
    EXPECT_NE(errors.str().find("Cannot write file " + target), std::string::npos) << errors.str();
    const std::string bad = writeGridText("bad.grid", "plexor-grid 1\nsize 164 121\nstep x\n");
    EXPECT_EQ(apply({bad, {picture_}, target, "", ""}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("bad.grid: line 3: 'x' is not a whole number"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(target));
    for (const std::string& name : folder_.entries()) EXPECT_EQ(name.find("full.bmp"), std::string::npos) << name;
}

TEST_F(GridFileCommandsTest, AListOfPicturesIsTakenLineByLine)
{
    const std::string out = folder_.file("out");
    std::filesystem::create_directory(out);
    std::filesystem::copy_file(picture_, folder_.file("a picture.bmp"));
    std::istringstream list(picture_ + "\n\n" + std::string(5000, 'x') + "\n" + folder_.file("none.bmp") + "\n" +
                            folder_.file("a picture.bmp"));
    FileWriteOps writes;
    std::ostringstream errors;
    HeadlessApply request{gridFile_, {}, "", out, "-"};
    EXPECT_EQ(apply(request, writes, errors, &list), 2u) << errors.str();
    EXPECT_NE(errors.str().find("plexor: -: line 3: a name longer than 4096 bytes\n"), std::string::npos);
    EXPECT_NE(errors.str().find("none.bmp: Cannot open file"), std::string::npos);
    const std::string lines = errors.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    EXPECT_EQ(readBytes(folder_.file("out/a picture.bmp")), readBytes(folder_.file("out/picture.bmp")));

    request.inputList = folder_.file("no-list");
    request.inputs = {picture_};
    EXPECT_EQ(apply(request, writes, errors), 1u);
    EXPECT_NE(errors.str().find("plexor: Cannot read the list of pictures " + request.inputList), std::string::npos);
}

TEST_F(GridFileCommandsTest, AGroupDragFromRestGivesWhatItsGridFileGives)
{
    ASSERT_TRUE(commands_.document().openFile(picture_));
    layGrid("20"); // point (c, r) at (2 + 20c, 20r)
    // A band round a block of 3 x 2 points, then a drag of one of them.
    commands_.mouse().press(35, 35, KeyModifiers{.control = true});
    commands_.mouse().move(85, 65, KeyModifiers{.control = true});
    commands_.mouse().release(85, 65, KeyModifiers{.control = true});
    ASSERT_EQ(commands_.controlGrid().selection().size(), 6u);
    dragBy(62, 40, 9, -13);
    EXPECT_EQ(commands_.controlGrid().point(2, 3).dx, 9);
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Move Points"));
    EXPECT_EQ(applied(saveGrid("group.grid"), "applied.bmp"), saveShown("window.bmp"));
}

TEST_F(GridFileCommandsTest, TwoPassesGiveWhatTheirVersion2FileGivesAndComeUndoneWhole)
{
    ASSERT_TRUE(commands_.document().openFile(picture_));
    const PictureBuffers& b = commands_.buffers();
    const ControlGrid& g = commands_.controlGrid();
    const std::vector<std::uint8_t> opened(b.source().colours.data(),
                                           b.source().colours.data() + b.source().colours.size());
    layGrid("40"); // point (c, r) at (2 + 40c, 40r)
    dragBy(82, 40, 15, -11);
    const std::vector<std::uint8_t> first(b.work().colours.data(), b.work().colours.data() + b.work().colours.size());
    layGrid("20", true);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), b.source().colours.data())) << "the result is the new start";
    EXPECT_EQ(g.step(), 20);
    dragBy(62, 40, -7, 6);
    const std::string path = saveGrid("passes.grid");
    EXPECT_EQ(readText(path), "plexor-grid 2\nsize 164 121\npass\nstep 40\npoint 2 1 15 -11\n"
                              "pass\nstep 20\npoint 3 2 -7 6\n");
    const std::vector<std::uint8_t> shown = saveShown("window.bmp");
    EXPECT_EQ(applied(path, "applied.bmp"), shown);

    // G and R act on the pass: its starting picture comes back.
    commands_.grid().resetGrid();
    EXPECT_EQ(g.point(3, 2).dx, 0);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), b.work().colours.data()));
    // Open grid starts from the picture as opened and lays each pass.
    openGrid(path);
    EXPECT_EQ(saveShown("reopened.bmp"), shown);

    // Undone: Open grid, the reset, the drag, then the pass itself, which
    // gives back the starting picture, the picture shown and the grid.
    for (int i = 0; i < 4; ++i) commands_.undo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(g.step(), 40);
    EXPECT_EQ(g.point(2, 1).dx, 15);
    EXPECT_TRUE(std::equal(opened.begin(), opened.end(), b.source().colours.data()));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), b.work().colours.data()));
    const std::string one = saveGrid("one.grid");
    EXPECT_EQ(readText(one).substr(0, 14), "plexor-grid 1\n");
    commands_.history().redo();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), b.source().colours.data()));
    EXPECT_EQ(g.step(), 20);
    for (int i = 0; i < 3; ++i) commands_.history().redo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(saveShown("redone.bmp"), shown);

    // A file of one pass laid over a later pass starts from the picture as
    // opened too, and so does its redo.
    openGrid(one);
    const std::vector<std::uint8_t> once = saveShown("once.bmp");
    EXPECT_TRUE(std::equal(opened.begin(), opened.end(), b.source().colours.data()));
    commands_.undo();
    commands_.history().redo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(saveShown("once-redone.bmp"), once);
}

// Grid > Resampling renders both passes again, as the grid file it saves and
// --apply render them, and comes undone and redone as an edit of its own.
TEST_F(GridFileCommandsTest, ResamplingIsAnEditThatTheGridFileAndTheCommandLineFollow)
{
    ASSERT_TRUE(commands_.document().openFile(picture_));
    layGrid("40");
    dragBy(82, 40, 15, -11);
    layGrid("20", true);
    dragBy(62, 40, -7, 6);
    const std::vector<std::uint8_t> exact = saveShown("exact.bmp");
    const std::string exactGrid = saveGrid("exact.grid");
    commands_.grid().setResampling(Resampling::Smooth);
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(commands_.history().undoText(), std::optional<std::string>("Undo Resampling"));
    const std::vector<std::uint8_t> smooth = saveShown("smooth.bmp");
    EXPECT_NE(smooth, exact);
    const std::string path = saveGrid("smooth.grid");
    EXPECT_EQ(readText(path), "plexor-grid 2\nsize 164 121\nresample smooth\npass\nstep 40\npoint 2 1 15 -11\n"
                              "pass\nstep 20\npoint 3 2 -7 6\n");
    EXPECT_EQ(applied(path, "applied.bmp"), smooth);
    // --resample overrides the file, either way.
    for (const auto& [grid, resampling, expected] :
         {std::tuple{exactGrid, Resampling::Smooth, &smooth}, {path, Resampling::Exact, &exact}}) {
        FileWriteOps writes;
        std::ostringstream errors;
        HeadlessApply request{grid, {picture_}, folder_.file("overridden.bmp"), "", ""};
        request.resampling = resampling;
        EXPECT_EQ(apply(request, writes, errors), 0u) << errors.str();
        EXPECT_TRUE(readBytes(folder_.file("overridden.bmp")) == *expected);
    }

    commands_.undo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(commands_.controlGrid().resampling(), Resampling::Exact);
    EXPECT_EQ(saveShown("undone.bmp"), exact);
    commands_.history().redo();
    ASSERT_TRUE(serveUntilIdle(commands_.worker()));
    EXPECT_EQ(commands_.controlGrid().resampling(), Resampling::Smooth);
    EXPECT_EQ(saveShown("redone.bmp"), smooth);
    // The exact file laid again is exact again.
    openGrid(exactGrid);
    EXPECT_EQ(saveShown("reopened.bmp"), exact);
}

} // namespace
} // namespace plexor::test
