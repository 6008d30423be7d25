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

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PictureError& error) {
        return error.what();
    }
    return "(done)";
}

std::string because(const std::string& start, const std::string& path, int error)
{
    return start + path + ": " + std::strerror(error);
}

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(target_, old_); }

    TempFolder folder_;
    const std::string target_ = folder_.file("picture.bmp");
    const std::vector<std::uint8_t> old_ = {1, 2, 3, 4};
    const std::vector<std::uint8_t> fresh_ = std::vector<std::uint8_t>(100000, 7);
};

TEST_F(AtomicWrite, ReplacesTheFileWhenEveryByteIsWritten)
{
    FailingOps ops;
    writeFileAtomically(target_, fresh_, ops);
    EXPECT_EQ(readBytes(target_), fresh_);
    EXPECT_EQ(folder_.entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(AtomicWrite, AFullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    for (std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, fresh_.size() - 1}) {
        SCOPED_TRACE(room);
        FailingOps ops;
        ops.room = room;
        EXPECT_EQ(errorOf([&] { writeFileAtomically(target_, fresh_, ops); }),
                  because("Cannot write file ", target_, ENOSPC));
        EXPECT_EQ(readBytes(target_), old_);
        EXPECT_EQ(folder_.entries(), std::vector<std::string>{"picture.bmp"});
    }
}

TEST_F(AtomicWrite, AFailedFlushKeepsTheOldFile)
{
    FailingOps ops;
    ops.failSync = true;
    EXPECT_EQ(errorOf([&] { writeFileAtomically(target_, fresh_, ops); }), because("Cannot write file ", target_, EIO));
    EXPECT_EQ(readBytes(target_), old_);
    EXPECT_EQ(folder_.entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(AtomicWrite, AFileThatCannotBeCreatedOrReplacedIsNamedWithTheReason)
{
    FailingOps refusing;
    refusing.failCreate = true;
    EXPECT_EQ(errorOf([&] { writeFileAtomically(target_, fresh_, refusing); }),
              because("Cannot create file ", target_, EACCES));

    FailingOps noRename;
    noRename.failRename = true;
    EXPECT_EQ(errorOf([&] { writeFileAtomically(target_, fresh_, noRename); }),
              because("Cannot create file ", target_, EXDEV));
    EXPECT_EQ(readBytes(target_), old_);

    const std::string missingFolder = folder_.file("no/such/folder/picture.bmp");
    EXPECT_EQ(errorOf([&] { writeFileAtomically(missingFolder, fresh_); }),
              because("Cannot create file ", missingFolder, ENOENT));

    std::filesystem::create_directory(folder_.path() / "taken");
    std::filesystem::create_directory(folder_.path() / "taken" / "inside");
    const std::string folderTarget = folder_.file("taken");
    EXPECT_EQ(errorOf([&] { writeFileAtomically(folderTarget, fresh_); }),
              because("Cannot create file ", folderTarget, EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget));

    EXPECT_EQ(folder_.entries(), (std::vector<std::string>{"picture.bmp", "taken"}));
}

TEST(FileRead, ReadsWholeFilesAndRefusesWhatIsNotOne)
{
    TempFolder folder;
    const std::vector<std::uint8_t> bytes(5000, 3);
    writeBytes(folder.path() / "f", bytes);
    const ByteBuffer whole = readWholeFile(folder.file("f"), 5000);
    EXPECT_TRUE(std::equal(whole.bytes().begin(), whole.bytes().end(), bytes.begin(), bytes.end()));
    EXPECT_EQ(readFileHead(folder.file("f"), 64).size(), 64u);
    EXPECT_EQ(errorOf([&] { readWholeFile(folder.file("f"), 4999); }), "Stream read error");
    EXPECT_EQ(errorOf([&] { readWholeFile(folder.file("none"), 10); }), "Cannot open file " + folder.file("none"));
    EXPECT_EQ(errorOf([&] { readWholeFile(folder.path().string(), 10); }),
              "Cannot open file " + folder.path().string());
}

TEST(FileRead, LargeFilesReadInTwoHalvesComeBackWhole)
{
    TempFolder folder;
    // Past the size from which a read is split, and odd, so the halves differ.
    std::vector<std::uint8_t> bytes((std::size_t{17} << 20) + 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 % 251);
    writeBytes(folder.path() / "large", bytes);
    const ByteBuffer whole = readWholeFile(folder.file("large"), bytes.size());
    ASSERT_EQ(whole.size(), bytes.size());
    EXPECT_EQ(std::memcmp(whole.data(), bytes.data(), bytes.size()), 0);
}

} // namespace
} // namespace plexor::test
