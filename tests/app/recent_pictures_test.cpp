// The recent pictures and the folder the picture dialogs start in: their
// order and limit, what the settings keep of them, a picture gone by the
// time it is chosen, and clearing the list.

#include "app/recent_pictures.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/bmp_only_codec.h"
#include "app/picture_commands.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

TEST(RecentPictures, NewestFirstEachOnceAtMostTenAndKeptInTheSettings)
{
    FakeSettings settings;
    RecentPictures recent(settings);
    for (int i = 1; i <= 12; ++i) recent.add("/p/" + std::to_string(i) + ".bmp");
    recent.add("/p/5.bmp");
    const std::vector<std::string> expected = {"/p/5.bmp", "/p/12.bmp", "/p/11.bmp", "/p/10.bmp", "/p/9.bmp",
                                               "/p/8.bmp", "/p/7.bmp",  "/p/6.bmp",  "/p/4.bmp",  "/p/3.bmp"};
    EXPECT_EQ(recent.files(), expected);
    EXPECT_EQ(recent.lastFolder(), "/p");

    // The next run finds them as they were.
    const RecentPictures again(settings);
    EXPECT_EQ(again.files(), expected);
    EXPECT_EQ(again.lastFolder(), "/p");

    // A name relative to the working folder is kept whole.
    recent.add("picture.bmp");
    EXPECT_EQ(recent.files().front(), (std::filesystem::current_path() / "picture.bmp").string());
    EXPECT_EQ(recent.files().size(), 10u);

    // A list written by another hand keeps its first ten names, each once.
    settings.values["recentFiles"] = {"/a.bmp", "", "/a.bmp", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"};
    EXPECT_EQ(RecentPictures(settings).files(),
              (std::vector<std::string>{"/a.bmp", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"}));
}

class RecentPictureCommands : public ::testing::Test {
protected:
    std::string bmp(const std::string& name) { return writeBmp(folder_, name, gradient24(8, 6)); }

    TempFolder folder_;
    const BmpOnlyCodec codec_;
    PictureCommandsShell shell_{codec_};
    PictureCommands& commands_ = shell_.commands;
};

TEST_F(RecentPictureCommands, OpenedAndSavedPicturesComeFirstAndAVanishedOneLeavesTheList)
{
    const std::string first = bmp("first.bmp");
    const std::string second = bmp("second.bmp");
    ASSERT_TRUE(commands_.openFile(first));
    shell_.dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file("saved.bmp"), 1});
    commands_.savePictureAs();
    ASSERT_TRUE(commands_.openFile(second));
    EXPECT_EQ(commands_.recentFiles(), (std::vector<std::string>{second, folder_.file("saved.bmp"), first}));

    ASSERT_TRUE(commands_.openRecent(first));
    EXPECT_EQ(commands_.openedPath(), first);
    EXPECT_EQ(commands_.recentFiles().front(), first);

    // Gone by the time it is chosen: a message, and nothing else changes.
    std::filesystem::remove(second);
    EXPECT_FALSE(commands_.openRecent(second));
    EXPECT_EQ(shell_.errors.shown,
              std::vector<std::string>{"The file " + second +
                                       " no longer exists. It has been removed from the recent pictures."});
    EXPECT_EQ(commands_.recentFiles(), (std::vector<std::string>{first, folder_.file("saved.bmp")}));
    EXPECT_EQ(commands_.openedPath(), first);

    commands_.clearRecent();
    EXPECT_TRUE(commands_.recentFiles().empty());
    EXPECT_TRUE(shell_.settings.stringList("recentFiles").empty());
}

TEST_F(RecentPictureCommands, TheDialogsStartInTheFolderUsedLastInThisRunOrTheOneBefore)
{
    const std::string picture = bmp("picture.bmp");
    ASSERT_TRUE(commands_.openFile(picture));
    std::filesystem::create_directory(folder_.path() / "elsewhere");
    shell_.dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file("elsewhere/result.bmp"), 1});
    commands_.savePictureAs();
    commands_.openPicture();
    EXPECT_EQ(shell_.dialogs.openRequests.back().fileName, folder_.file("elsewhere/matrix.bmp"));
    commands_.clearRecent();

    // The next run: the open dialog starts where the last save went, and
    // proposes its usual name there.
    FakeDialogs dialogs;
    PictureCommands next{shell_.model.picture, shell_.model.grid, shell_.model.work, shell_.memory,
                         ShellPorts{shell_.messages, shell_.errors, dialogs, shell_.frame, shell_.pictureView,
                                    shell_.gridDialog, shell_.window, codec_, shell_.settings, [] {}}};
    next.openPicture();
    EXPECT_EQ(dialogs.openRequests.back().fileName, folder_.file("elsewhere/matrix.bmp"));
    // A folder that is gone is not proposed.
    std::filesystem::remove_all(folder_.path() / "elsewhere");
    next.openPicture();
    EXPECT_EQ(dialogs.openRequests.back().fileName, "matrix.bmp");
}

} // namespace
} // namespace plexor::test
