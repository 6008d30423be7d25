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
        commands_.start();
        picture_ = writeBmp(folder_, "picture.bmp", gradient24(96, 72));
        EXPECT_TRUE(commands_.document().openFile(picture_));
        grid.answers.push_back("24");
        commands_.grid().layNewGrid();
        commands_.history().settle();
    }
    // A drag of point (2, 1) by (dx, dy).
    void drag(int dx, int dy)
    {
        const ControlPoint& p = commands_.controlGrid().point(2, 1);
        const int x = p.x + p.dx, y = p.y + p.dy;
        commands_.mouse().press(x, y);
        commands_.mouse().move(x + dx, y + dy);
        commands_.mouse().release(x + dx, y + dy);
    }
    std::vector<std::uint8_t> workPixels()
    {
        commands_.history().settle();
        const ByteBuffer& work = commands_.buffers().work().colours;
        return {work.data(), work.data() + work.size()};
    }

    TempFolder folder_;
    std::string picture_;
    MainCommands commands_{ports()};
};

TEST_F(UnsavedChangesTest, EditsMakeThePictureDifferAndUndoingBackToTheSavedOneMakesItEqual)
{
    EXPECT_EQ(commands_.document().documentName(), "picture.bmp");
    EXPECT_TRUE(commands_.document().modified()) << "the grid laid is an edit";
    drag(0, 0);
    drag(5, 3);
    dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file("saved.bmp"), 1});
    ASSERT_TRUE(commands_.document().savePictureAs());
    EXPECT_FALSE(commands_.document().modified());

    drag(0, 0);
    EXPECT_FALSE(commands_.document().modified()) << "a press without a move is no edit";
    drag(2, 2);
    EXPECT_TRUE(commands_.document().modified()) << "a drag counts before it is recorded";
    commands_.undo();
    EXPECT_FALSE(commands_.document().modified());
    commands_.undo();
    EXPECT_TRUE(commands_.document().modified());
    commands_.history().redo();
    EXPECT_FALSE(commands_.document().modified());

    // An edit over the undone ones leaves the saved picture out of reach.
    commands_.undo();
    drag(-4, 2);
    commands_.undo();
    EXPECT_TRUE(commands_.document().modified());
    commands_.history().redo();
    EXPECT_TRUE(commands_.document().modified());
}

TEST_F(UnsavedChangesTest, TheQuestionGoesOnOnlyWhenTheChangesAreSavedOrDiscarded)
{
    drag(5, 3);
    const std::vector<std::uint8_t> edited = workPixels();

    // Cancel, and Save with its dialog cancelled or failing, keep everything.
    window.saveChoices = {SaveChoice::Cancel, SaveChoice::Save, SaveChoice::Save};
    EXPECT_FALSE(commands_.document().askAboutUnsavedChanges());
    EXPECT_FALSE(commands_.document().askAboutUnsavedChanges());
    dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file("missing/folder/saved.bmp"), 1});
    EXPECT_FALSE(commands_.document().askAboutUnsavedChanges());
    EXPECT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(window.askedToSave, std::vector<std::string>(3, "picture.bmp"));
    EXPECT_TRUE(commands_.document().modified());
    EXPECT_EQ(workPixels(), edited);
    EXPECT_EQ(commands_.history().undoText(), "Undo Drag");

    // An open that is not let go on opens nothing.
    const std::string other = writeBmp(folder_, "other.bmp", gradient24(40, 40));
    dialogs.openAnswers.push_back(FileDialogChoice{other, 1});
    commands_.document().openPicture();
    EXPECT_EQ(commands_.buffers().width(), 96);
    EXPECT_TRUE(dialogs.openRequests.empty()) << "the question comes before the dialog";

    // Save that writes the file goes on, and the picture is the saved one.
    window.saveChoices = {SaveChoice::Save};
    dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file("saved.bmp"), 1});
    EXPECT_TRUE(commands_.document().askAboutUnsavedChanges());
    EXPECT_TRUE(std::filesystem::exists(folder_.file("saved.bmp")));
    EXPECT_FALSE(commands_.document().modified());
    EXPECT_TRUE(commands_.document().askAboutUnsavedChanges()) << "nothing unsaved: no question";
    EXPECT_EQ(window.askedToSave.size(), 5u);

    // Discard goes on without saving.
    drag(-2, 4);
    window.saveChoices = {SaveChoice::Discard};
    dialogs.openAnswers.push_back(FileDialogChoice{other, 1});
    commands_.document().openPicture();
    EXPECT_EQ(commands_.buffers().width(), 40);
    EXPECT_FALSE(commands_.document().modified());
    EXPECT_EQ(commands_.document().documentName(), "other.bmp");
}

} // namespace
} // namespace plexor::test
