// Whether the picture differs from the one last opened or saved, and the
// question asked before unsaved changes would go.

#include <filesystem>

#include <gtest/gtest.h>

#include "app/main_commands.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

class UnsavedChangesTest : public ::testing::Test, protected FakeShell {
protected:
    UnsavedChangesTest()
    {
        commands.start();
        picture = writeBmp(folder, "picture.bmp", gradient24(96, 72));
        EXPECT_TRUE(commands.openFile(picture));
        grid.answers.push_back("24");
        commands.grid().layNewGrid();
        commands.history().settle();
    }
    // A drag of point (2, 1) by (dx, dy).
    void drag(int dx, int dy)
    {
        const ControlPoint& p = commands.controlGrid().point(2, 1);
        const int x = p.x + p.dx, y = p.y + p.dy;
        commands.mouse().press(x, y);
        commands.mouse().move(x + dx, y + dy);
        commands.mouse().release(x + dx, y + dy);
    }
    std::vector<std::uint8_t> workPixels()
    {
        commands.history().settle();
        const ByteBuffer& work = commands.buffers().work().colours;
        return {work.data(), work.data() + work.size()};
    }

    TempFolder folder;
    std::string picture;
    MainCommands commands{ports()};
};

TEST_F(UnsavedChangesTest, EditsMakeThePictureDifferAndUndoingBackToTheSavedOneMakesItEqual)
{
    EXPECT_EQ(commands.documentName(), "picture.bmp");
    EXPECT_TRUE(commands.modified()) << "the grid laid is an edit";
    drag(0, 0);
    drag(5, 3);
    dialogs.saveAnswers.push_back(FileDialogChoice{folder.file("saved.bmp"), 1});
    ASSERT_TRUE(commands.savePictureAs());
    EXPECT_FALSE(commands.modified());

    drag(0, 0);
    EXPECT_FALSE(commands.modified()) << "a press without a move is no edit";
    drag(2, 2);
    EXPECT_TRUE(commands.modified()) << "a drag counts before it is recorded";
    commands.undo();
    EXPECT_FALSE(commands.modified());
    commands.undo();
    EXPECT_TRUE(commands.modified());
    commands.redo();
    EXPECT_FALSE(commands.modified());

    // An edit over the undone ones leaves the saved picture out of reach.
    commands.undo();
    drag(-4, 2);
    commands.undo();
    EXPECT_TRUE(commands.modified());
    commands.redo();
    EXPECT_TRUE(commands.modified());
}

TEST_F(UnsavedChangesTest, TheQuestionGoesOnOnlyWhenTheChangesAreSavedOrDiscarded)
{
    drag(5, 3);
    const std::vector<std::uint8_t> edited = workPixels();

    // Cancel, and Save with its dialog cancelled or failing, keep everything.
    window.saveChoices = {SaveChoice::Cancel, SaveChoice::Save, SaveChoice::Save};
    EXPECT_FALSE(commands.askAboutUnsavedChanges());
    EXPECT_FALSE(commands.askAboutUnsavedChanges());
    dialogs.saveAnswers.push_back(FileDialogChoice{folder.file("missing/folder/saved.bmp"), 1});
    EXPECT_FALSE(commands.askAboutUnsavedChanges());
    EXPECT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(window.askedToSave, std::vector<std::string>(3, "picture.bmp"));
    EXPECT_TRUE(commands.modified());
    EXPECT_EQ(workPixels(), edited);
    EXPECT_EQ(commands.history().undoText(), "Undo Drag");

    // An open that is not let go on opens nothing.
    const std::string other = writeBmp(folder, "other.bmp", gradient24(40, 40));
    dialogs.openAnswers.push_back(FileDialogChoice{other, 1});
    commands.openPicture();
    EXPECT_EQ(commands.buffers().width(), 96);
    EXPECT_TRUE(dialogs.openRequests.empty()) << "the question comes before the dialog";

    // Save that writes the file goes on, and the picture is the saved one.
    window.saveChoices = {SaveChoice::Save};
    dialogs.saveAnswers.push_back(FileDialogChoice{folder.file("saved.bmp"), 1});
    EXPECT_TRUE(commands.askAboutUnsavedChanges());
    EXPECT_TRUE(std::filesystem::exists(folder.file("saved.bmp")));
    EXPECT_FALSE(commands.modified());
    EXPECT_TRUE(commands.askAboutUnsavedChanges()) << "nothing unsaved: no question";
    EXPECT_EQ(window.askedToSave.size(), 5u);

    // Discard goes on without saving.
    drag(-2, 4);
    window.saveChoices = {SaveChoice::Discard};
    dialogs.openAnswers.push_back(FileDialogChoice{other, 1});
    commands.openPicture();
    EXPECT_EQ(commands.buffers().width(), 40);
    EXPECT_FALSE(commands.modified());
    EXPECT_EQ(commands.documentName(), "other.bmp");
}

} // namespace
} // namespace plexor::test
