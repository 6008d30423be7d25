// Reading files, and replacing them in one step.

#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "platform/picture_error.h"
#include "tests/support/failing_write_ops.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {
namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(done)";
}

std::string Because(const std::string& start, const std::string& path, int error)
{
    return start + path + ": " + std::strerror(error);
}

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(target_, old_); }

    TempFolder folder_;
    const std::string target_ = folder_.File("picture.bmp");
    const std::vector<std::uint8_t> old_ = {1, 2, 3, 4};
    const std::vector<std::uint8_t> fresh_ = std::vector<std::uint8_t>(100000, 7);
};

TEST_F(AtomicWrite, ReplacesTheFileWhenEveryByteIsWritten)
{
    FailingOps ops;
    WriteFileAtomically(target_, fresh_, ops);
    EXPECT_EQ(ReadBytes(target_), fresh_);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(AtomicWrite, AFullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    for (std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, fresh_.size() - 1}) {
        SCOPED_TRACE(room);
        FailingOps ops;
        ops.Room = room;
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(target_, fresh_, ops); }),
                  Because("Cannot write file ", target_, ENOSPC));
        EXPECT_EQ(ReadBytes(target_), old_);
        EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"picture.bmp"});
    }
}

TEST_F(AtomicWrite, AFailedFlushKeepsTheOldFile)
{
    FailingOps ops;
    ops.FailSync = true;
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(target_, fresh_, ops); }), Because("Cannot write file ", target_, EIO));
    EXPECT_EQ(ReadBytes(target_), old_);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(AtomicWrite, AFileThatCannotBeCreatedOrReplacedIsNamedWithTheReason)
{
    FailingOps refusing;
    refusing.FailCreate = true;
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(target_, fresh_, refusing); }),
              Because("Cannot create file ", target_, EACCES));

    FailingOps noRename;
    noRename.FailRename = true;
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(target_, fresh_, noRename); }),
              Because("Cannot create file ", target_, EXDEV));
    EXPECT_EQ(ReadBytes(target_), old_);

    const std::string missingFolder = folder_.File("no/such/folder/picture.bmp");
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(missingFolder, fresh_); }),
              Because("Cannot create file ", missingFolder, ENOENT));

    std::filesystem::create_directory(folder_.Path() / "taken");
    std::filesystem::create_directory(folder_.Path() / "taken" / "inside");
    const std::string folderTarget = folder_.File("taken");
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(folderTarget, fresh_); }),
              Because("Cannot create file ", folderTarget, EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget));

    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"picture.bmp", "taken"}));
}

TEST(FileRead, ReadsWholeFilesAndRefusesWhatIsNotOne)
{
    TempFolder folder;
    const std::vector<std::uint8_t> bytes(5000, 3);
    WriteBytes(folder.Path() / "f", bytes);
    const ByteBuffer whole = ReadWholeFile(folder.File("f"), 5000);
    EXPECT_TRUE(std::equal(whole.bytes().begin(), whole.bytes().end(), bytes.begin(), bytes.end()));
    EXPECT_EQ(ReadFileHead(folder.File("f"), 64).size(), 64u);
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(folder.File("f"), 4999); }), "Stream read error");
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(folder.File("none"), 10); }), "Cannot open file " + folder.File("none"));
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(folder.Path().string(), 10); }),
              "Cannot open file " + folder.Path().string());
}

TEST(FileRead, LargeFilesReadInTwoHalvesComeBackWhole)
{
    TempFolder folder;
    // Past the size from which a read is split, and odd, so the halves differ.
    std::vector<std::uint8_t> bytes((std::size_t{17} << 20) + 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 % 251);
    WriteBytes(folder.Path() / "large", bytes);
    const ByteBuffer whole = ReadWholeFile(folder.File("large"), bytes.size());
    ASSERT_EQ(whole.size(), bytes.size());
    EXPECT_EQ(std::memcmp(whole.data(), bytes.data(), bytes.size()), 0);
}

} // namespace
} // namespace plexor::test
