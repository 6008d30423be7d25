// Grid files in the window (File > Open grid, Save grid) and without it
// (headless application), which must write the same pixels.

#include <algorithm>
#include <filesystem>
#include <sstream>

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
    GridFileCommandsTest() { commands.FormCreate(); }

    std::string WriteGridText(const std::string& name, const std::string& text)
    {
        const std::string path = folder.File(name);
        WriteText(path, text);
        return path;
    }
    void OpenGrid(const std::string& path)
    {
        dialogs.openAnswers.push_back(FileDialogChoice{path, 1});
        commands.MIOpenGridClick();
        ASSERT_TRUE(ServeUntilIdle(commands.Worker()));
    }
    std::size_t Apply(const HeadlessApply& request, FileWriteOps& writes, std::ostream& errors)
    {
        const HeadlessServices services{codec, writes, ParallelDeformOptions{3, 0}, SystemAvailableMemory, errors};
        return ApplyGridToFiles(request, services);
    }

    TempFolder folder;
    MainCommands commands{Ports()};
    const std::string picture = WriteBmp(folder, "picture.bmp", Gradient24(161, 121)); // widened to 164
    const std::string gridFile = WriteGridText("moves.grid", "plexor-grid 1\nsize 164 121\nstep 20\n"
                                                             "point 2 2 7 -5\npoint 3 2 -19 19\npoint 6 4 0 11\n");
};

TEST_F(GridFileCommandsTest, TheWindowAndTheCommandLineWriteTheSamePixels)
{
    ASSERT_TRUE(commands.OpenFile(picture));
    OpenGrid(gridFile);
    EXPECT_TRUE(window.checked) << "Grid > Show is on";
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Open Grid"));
    commands.MIShowClick();
    const std::string fromWindow = folder.File("window.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{fromWindow, 1});
    commands.MISaveAsClick();

    FileWriteOps writes;
    std::ostringstream errors;
    const std::string headless = folder.File("headless.bmp");
    EXPECT_EQ(Apply({gridFile, {picture}, headless, ""}, writes, errors), 0u) << errors.str();
    EXPECT_EQ(ReadBytes(headless), ReadBytes(fromWindow));
    EXPECT_NE(ReadBytes(headless).size(), ReadBytes(picture).size()) << "written at the widened width";

    // Undone, the picture is as it was; redone, as the grid file made it.
    const PixelBuffer& work = commands.Model().WorkImage;
    const std::vector<std::uint8_t> after(work.data(), work.data() + work.size());
    commands.MIUndoClick();
    EXPECT_FALSE(commands.Model().GridExists());
    commands.MIRedoClick();
    ASSERT_TRUE(ServeUntilIdle(commands.Worker()));
    EXPECT_TRUE(std::equal(after.begin(), after.end(), work.data()));
}

TEST_F(GridFileCommandsTest, AFileThatDoesNotSuitChangesNothing)
{
    ASSERT_TRUE(commands.OpenFile(picture));
    grid.answers.push_back("20");
    commands.SBGridClick();
    commands.ImageMouseDown(62, 40); // point (3, 2)
    commands.ImageMouseMove(70, 45);
    commands.ImageMouseUp(70, 45);
    ASSERT_TRUE(ServeUntilIdle(commands.Worker()));
    const DeformModel& m = commands.Model();
    const std::vector<std::uint8_t> work(m.WorkImage.data(), m.WorkImage.data() + m.WorkImage.size());
    const GridFile before = GridFileOf(m);

    OpenGrid(WriteGridText("wide.grid", "plexor-grid 1\nsize 168 121\nstep 20\n"));
    OpenGrid(WriteGridText("ring.grid", "plexor-grid 1\n# moved\nsize 164 121\nstep 20\npoint 0 1 1 1\n"));
    OpenGrid(folder.File("missing.grid"));
    ASSERT_EQ(errors.shown.size(), 3u);
    EXPECT_NE(errors.shown[0].find("wide.grid: line 2: the grid was made on a picture of 168 x 121"),
              std::string::npos);
    EXPECT_NE(errors.shown[1].find("ring.grid: line 5: point 0 1 lies on the grid's outer ring"), std::string::npos);
    EXPECT_NE(errors.shown[2].find("Cannot open file"), std::string::npos);
    EXPECT_TRUE(std::equal(work.begin(), work.end(), m.WorkImage.data()));
    EXPECT_EQ(GridFileOf(m).Points, before.Points);
    EXPECT_EQ(commands.UndoText(), std::optional<std::string>("Undo Drag"));

    // What Save grid writes lays the same grid again.
    const std::string saved = folder.File("kept.grid");
    dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
    commands.MISaveGridClick();
    EXPECT_EQ(dialogs.saveRequests.back().FileName, folder.File("picture.grid"));
    commands.SBDefaultClick();
    OpenGrid(saved);
    EXPECT_EQ(GridFileOf(m).Points, before.Points);
    EXPECT_EQ(errors.shown.size(), 3u);
}

TEST_F(GridFileCommandsTest, HeadlessFailuresAreReportedAndLeaveNoFile)
{
    const std::string small = WriteBmp(folder, "small.bmp", Gradient24(40, 30));
    const std::string out = folder.File("out");
    std::filesystem::create_directory(out);
    FileWriteOps writes;
    std::ostringstream errors;
    EXPECT_EQ(Apply({gridFile, {small, picture, folder.File("none.bmp")}, "", out}, writes, errors), 2u);
    EXPECT_NE(errors.str().find("small.bmp: Cannot use the grid file " + gridFile + ": line 2:"), std::string::npos)
        << errors.str();
    EXPECT_NE(errors.str().find("none.bmp: Cannot open file"), std::string::npos);
    const std::string lines = errors.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
    EXPECT_EQ(std::filesystem::directory_iterator(out)->path().filename(), "picture.bmp");

    // Neither a result of the same name from another folder nor one over its
    // own picture is written.
    std::filesystem::create_directory(folder.File("other"));
    const std::string namesake = WriteBmp(folder, "other/picture.bmp", Gradient24(164, 121));
    const std::vector<std::uint8_t> first = ReadBytes(folder.File("out/picture.bmp"));
    const std::vector<std::uint8_t> original = ReadBytes(namesake);
    EXPECT_EQ(Apply({gridFile, {picture, namesake}, "", out}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("other/picture.bmp: " + out + "/picture.bmp is written already"), std::string::npos);
    EXPECT_EQ(ReadBytes(folder.File("out/picture.bmp")), first);
    EXPECT_EQ(Apply({gridFile, {namesake}, "", folder.File("other")}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("the result would replace the picture itself"), std::string::npos);
    EXPECT_EQ(ReadBytes(namesake), original);

    // A disk that fills up, and a malformed grid file.
    FailingOps full;
    full.Room = 1000;
    const std::string target = folder.File("full.bmp");
    EXPECT_EQ(Apply({gridFile, {picture}, target, ""}, full, errors), 1u);
    EXPECT_NE(errors.str().find("Cannot write file " + target), std::string::npos) << errors.str();
    const std::string bad = WriteGridText("bad.grid", "plexor-grid 1\nsize 164 121\nstep x\n");
    EXPECT_EQ(Apply({bad, {picture}, target, ""}, writes, errors), 1u);
    EXPECT_NE(errors.str().find("bad.grid: line 3: 'x' is not a whole number"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(target));
    for (const std::string& name : folder.Entries()) EXPECT_EQ(name.find("full.bmp"), std::string::npos) << name;
}

} // namespace
} // namespace plexor::test
