// What files dropped on the window would do: open a picture, lay a grid
// file, or nothing.

#include "app/dropped_files.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/bmp_writer.h"
#include "tests/support/files.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

class DroppedFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        writeBytes(folder_.path() / name, bytes);
        return folder_.file(name);
    }
    std::string text(const std::string& name, const std::string& content)
    {
        return write(name, {content.begin(), content.end()});
    }
    DropKind kindOf(std::vector<std::string> paths, bool pictureOpen = true) const
    {
        return dropKindOf(paths, readable_, pictureOpen);
    }

    TempFolder folder_;
    std::vector<PictureFormat> readable_{PictureFormat::Bmp, PictureFormat::Png};
};

TEST_F(DroppedFiles, APictureOpensByItsContentOrElseItsExtension)
{
    const std::string bmp = write("photo.txt", encodeBmp(gradient24(4, 4)));
    EXPECT_EQ(kindOf({bmp}, false), DropKind::Picture);
    // Damaged, it still goes to the open command, which says what is wrong.
    EXPECT_EQ(kindOf({text("broken.PNG", "not a picture")}), DropKind::Picture);
    // A format not read here is refused.
    EXPECT_EQ(kindOf({text("photo.webp", "RIFF....WEBPVP8 ")}), DropKind::Refused);
}

TEST_F(DroppedFiles, AGridFileIsLaidByItsExtensionOrFirstWordWhileAPictureIsOpen)
{
    const std::string grid = text("bend.grid", "# made by hand\nplexor-grid 1\n");
    const std::string named = text("bend.txt", "plexor-grid 1\nsize 8 8\nstep 4\n");
    EXPECT_EQ(kindOf({grid}), DropKind::Grid);
    EXPECT_EQ(kindOf({named}), DropKind::Grid);
    EXPECT_EQ(kindOf({grid}, false), DropKind::Refused);
    // A picture named as a grid file is a picture.
    EXPECT_EQ(kindOf({write("picture.grid", encodeBmp(gradient24(4, 4)))}), DropKind::Picture);
}

TEST_F(DroppedFiles, EverythingElseIsRefused)
{
    const std::string picture = write("a.bmp", encodeBmp(gradient24(4, 4)));
    std::filesystem::create_directory(folder_.path() / "pictures.bmp");
    EXPECT_EQ(kindOf({text("notes.txt", "plexor\n")}), DropKind::Refused);
    EXPECT_EQ(kindOf({folder_.file("pictures.bmp")}), DropKind::Refused);
    EXPECT_EQ(kindOf({folder_.file("gone.bmp")}), DropKind::Refused);
    EXPECT_EQ(kindOf({""}), DropKind::Refused);
    EXPECT_EQ(kindOf({}), DropKind::Refused);
    EXPECT_EQ(kindOf({picture, picture}), DropKind::Refused);
}

} // namespace
} // namespace plexor::test
