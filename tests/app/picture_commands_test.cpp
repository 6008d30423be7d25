#include "app/picture_commands.h"

#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "app/bmp_only_codec.h"
#include "app/window_fitting.h"
#include "platform/bmp_reader.h"
#include "platform/dib_transfer.h"
#include "tests/support/allocation_control.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

const BmpOnlyCodec kCodec;

class PictureCommandsTest : public ::testing::Test, protected PictureCommandsShell {
protected:
    PictureCommandsTest() : PictureCommandsShell(kCodec) {}

    // Saves through the dialog and reads the file back.
    Bitmap saveAndReadBack()
    {
        const std::string saved = folder_.file("saved.bmp");
        dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
        commands.savePictureAs();
        return readBmp(readBytes(saved));
    }

    const std::uint8_t* work(std::int32_t x, std::int32_t y)
    {
        return model.picture.work().colours.data() + 3 * (static_cast<std::size_t>(y) * model.picture.width() + x);
    }

    TempFolder folder_;
};

TEST_F(PictureCommandsTest, OpenWidensToAMultipleOfFourWithBlackColumns)
{
    for (auto [width, padded] : {std::pair{97, 100}, {98, 100}, {99, 100}, {100, 100}, {1, 4}}) {
        const std::string path = writeBmp(folder_, "w" + std::to_string(width) + ".bmp", gradient24(width, 50));
        ASSERT_TRUE(commands.openFile(path));
        EXPECT_EQ(model.picture.width(), padded);
        EXPECT_EQ(model.picture.height(), 50);
        EXPECT_EQ(model.picture.capacity(), padded * 50 + 3);
        EXPECT_EQ(commands.screenBitmap().width(), padded);
        EXPECT_TRUE(model.picture.hasPicture());
        // The picture as read, then black columns, in all three buffers.
        EXPECT_EQ(work(width - 1, 7)[0], static_cast<std::uint8_t>(width - 1));
        EXPECT_EQ(work(width - 1, 7)[1], 7);
        EXPECT_EQ(work(width - 1, 7)[2], 200);
        for (std::int32_t x = width; x < padded; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(work(x, 9)[c], 0) << "column " << x;
        EXPECT_EQ(0, std::memcmp(model.picture.work().colours.data(), model.picture.view().colours.data(),
                                 model.picture.work().colours.size()));
        EXPECT_EQ(0, std::memcmp(model.picture.work().colours.data(), model.picture.source().colours.data(),
                                 model.picture.work().colours.size()));
        EXPECT_EQ(model.picture.marks().size(), static_cast<std::size_t>(model.picture.capacity()));
        // Open neither refreshes nor pushes, but the control shows the new bitmap.
        EXPECT_EQ(pictureView.bitmap, &commands.screenBitmap());
        EXPECT_EQ(pictureView.repaints, 0);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(errors.shown.empty());
    const DibHeader& h = commands.bufferFormat();
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 4);
    EXPECT_EQ(h.height, -50);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(h.compression, 0u);
}

TEST_F(PictureCommandsTest, ZeroByteBitmapIsAnEmptyPicture)
{
    const std::string path = folder_.file("empty.bmp");
    writeBytes(path, {});
    ASSERT_TRUE(commands.openFile(path));
    EXPECT_EQ(model.picture.width(), 0);
    EXPECT_EQ(model.picture.height(), 0);
    EXPECT_EQ(model.picture.capacity(), 3);
    EXPECT_TRUE(model.picture.hasPicture());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "GetDIBits failed");
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    // The client area shrinks to the panel and the allowance.
    EXPECT_EQ(frame.currentContentsWidth, 45);
    EXPECT_EQ(frame.currentContentsHeight, 4);

    const std::string saved = folder_.file("saved.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
    commands.savePictureAs();
    EXPECT_TRUE(errors.shown.empty());
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(std::filesystem::file_size(saved), 0u);
}

TEST_F(PictureCommandsTest, FailedLoadsChangeNothing)
{
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "first.bmp", gradient24(40, 30))));
    const std::vector<std::uint8_t> work(model.picture.work().colours.data(),
                                         model.picture.work().colours.data() + model.picture.work().colours.size());
    const FakeFrame frameBefore = frame;
    const int showsBefore = pictureView.shows;

    std::vector<std::uint8_t> bmp = encodeBmp(gradient24(8, 8));
    std::vector<std::uint8_t> notBm = bmp;
    notBm[0] = 'X';
    std::vector<std::uint8_t> planes = bmp;
    planes[26] = 2;
    std::vector<std::uint8_t> shortHeader(bmp.begin(), bmp.begin() + 10);
    std::vector<std::uint8_t> shortPixels(bmp.begin(), bmp.end() - 5);
    const std::vector<std::uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"photo.JPG", junk, "JPEG pictures cannot be read here"},
        {"noextension", junk, "Unknown picture file extension (.)"},
        {"notbm.bmp", notBm, "Bitmap image is not valid"},
        {"planes.bmp", planes, "Bitmap image is not valid"},
        {"short.bmp", shortHeader, "Stream read error"},
        {"cut.bmp", shortPixels, "Stream read error"},
        {"bad.ico", junk, "Icon image is not valid"},
        {"bad.wmf", junk, "Metafile is not valid"},
        {"bad.emf", junk, "Metafile is not valid"},
    };
    for (const Case& c : cases) {
        errors.shown.clear();
        const std::string path = folder_.file(c.name);
        writeBytes(path, c.bytes);
        EXPECT_FALSE(commands.openFile(path)) << c.name;
        ASSERT_EQ(errors.shown.size(), 1u) << c.name;
        EXPECT_EQ(errors.shown[0], c.message) << c.name;
    }
    errors.shown.clear();
    const std::string missing = folder_.file("missing.bmp");
    EXPECT_FALSE(commands.openFile(missing));
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Cannot open file " + missing);

    EXPECT_EQ(model.picture.width(), 40);
    EXPECT_EQ(model.picture.height(), 30);
    EXPECT_EQ(0, std::memcmp(work.data(), model.picture.work().colours.data(), work.size()));
    EXPECT_EQ(commands.screenBitmap().width(), 40);
    EXPECT_EQ(pictureView.shows, showsBefore);
    EXPECT_EQ(frame.currentContentsWidth, frameBefore.currentContentsWidth);
    EXPECT_EQ(frame.x, frameBefore.x);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PictureCommandsTest, IconsAndMetafilesOpenAsEmptyPictures)
{
    const std::string icon = folder_.file("a.ICO");
    writeBytes(icon, {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 22, 0, 0, 0});
    ASSERT_TRUE(commands.openFile(icon));
    EXPECT_EQ(model.picture.width(), 0);
    EXPECT_EQ(model.picture.height(), 0);
    EXPECT_TRUE(commands.screenBitmap().empty());
}

TEST_F(PictureCommandsTest, PictureThatCannotGetItsBuffersKeepsTheOldOne)
{
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "small.bmp", gradient24(40, 30))));
    model.layGrid(10);
    const std::uint64_t held = 3 * model.picture.work().colours.size() + model.picture.marks().size();
    memory.setSource([] { return std::uint64_t{0}; }); // no memory to spare
    const std::string big = writeBmp(folder_, "big.bmp", gradient24(400, 300));
    EXPECT_FALSE(commands.openFile(big));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Not enough memory for source.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(model.picture.width(), 40);
    EXPECT_EQ(3 * model.picture.work().colours.size() + model.picture.marks().size(), held);
    EXPECT_TRUE(model.grid.exists());
    EXPECT_EQ(commands.screenBitmap().width(), 40);
    // The new buffers are had before the old ones go, so even a picture of
    // the same size needs room beside them.
    EXPECT_FALSE(commands.openFile(writeBmp(folder_, "same.bmp", gradient24(40, 30))));
    EXPECT_EQ(messages.shown.size(), 2u);
    memory.setSource([held] { return held; });
    EXPECT_TRUE(commands.openFile(writeBmp(folder_, "same.bmp", gradient24(40, 30))));
}

TEST_F(PictureCommandsTest, BuffersRefusedAfterTheCheckLeaveTheOldPictureWhole)
{
    // The check says the new buffers fit; the system then refuses one of
    // them all the same. The open changes nothing, whichever buffer it was.
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "old.bmp", gradient24(40, 30))));
    model.layGrid(10);
    model.displace(1, 1, 2, 0);
    model.picture.splatTarget().work[5] = 77; // a deformed pixel
    commands.pushView(std::array{PixelRect{0, 0, model.picture.width(), model.picture.height()}});
    const std::vector<std::uint8_t> work(model.picture.work().colours.data(),
                                         model.picture.work().colours.data() + model.picture.work().colours.size());
    const std::vector<std::uint8_t> source(model.picture.source().colours.data(),
                                           model.picture.source().colours.data() +
                                               model.picture.source().colours.size());
    const std::vector<std::uint8_t> screen = encodeBmp(commands.screenBitmap());
    const FakeFrame frameBefore = frame;

    // 8 bits a pixel: the file is a third of one 24-bit buffer.
    std::vector<Colour> table(256);
    for (int i = 0; i < 256; ++i) table[i] = Colour{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    const std::string big = writeBmp(folder_, "big.bmp", Bitmap(400, 300, PixelFormat::indexed(8, table)));
    const std::size_t buffer = 3 * (400 * 300 + 3);
    for (int granted = 0; granted < 3; ++granted) {
        messages.shown.clear();
        bool opened = true;
        {
            const AllocationLimit limit(buffer, granted);
            opened = commands.openFile(big);
            EXPECT_EQ(limit.refused(), 1) << granted;
        }
        EXPECT_FALSE(opened);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  granted == 0 ? "Not enough memory for source." : "Not enough memory for destination.");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(model.picture.hasPicture());
        EXPECT_EQ(model.picture.width(), 40);
        EXPECT_EQ(model.picture.height(), 30);
        EXPECT_EQ(std::vector(model.picture.work().colours.data(),
                              model.picture.work().colours.data() + model.picture.work().colours.size()),
                  work);
        EXPECT_EQ(std::vector(model.picture.source().colours.data(),
                              model.picture.source().colours.data() + model.picture.source().colours.size()),
                  source);
        EXPECT_EQ(model.picture.view().colours.size(), work.size());
        EXPECT_EQ(model.picture.marks().size(), 40u * 30 + 3);
        ASSERT_TRUE(model.grid.exists());
        EXPECT_EQ(model.grid.point(1, 1).dx, 2);
        EXPECT_EQ(model.work.queue().queuedBytes().size(), static_cast<std::size_t>(model.grid.shape().cellCount));
        EXPECT_EQ(encodeBmp(commands.screenBitmap()), screen);
        EXPECT_EQ(pictureView.bitmap, &commands.screenBitmap());
        EXPECT_EQ(frame.currentContentsWidth, frameBefore.currentContentsWidth);
    }
}

TEST_F(PictureCommandsTest, ReopeningKeepsAGridOfTheSameSizeAndDropsAnother)
{
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "a.bmp", gradient24(97, 50))));
    model.layGrid(10);
    model.displace(2, 2, 3, 0);
    // 98 wide pads to the same 100: the grid and its displacement stay.
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "b.bmp", gradient24(98, 50))));
    ASSERT_TRUE(model.grid.exists());
    EXPECT_EQ(model.grid.point(2, 2).dx, 3);
    EXPECT_EQ(model.grid.tables().weights().size(), 16u * 11 * 11);
    // Another size: the grid goes with everything built for it.
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "c.bmp", gradient24(60, 50))));
    EXPECT_FALSE(model.grid.exists());
    EXPECT_TRUE(model.work.queue().queuedBytes().empty());
    EXPECT_EQ(model.work.queue().size(), 0u);
}

TEST_F(PictureCommandsTest, DialogsProposeTheLastChoiceAndCancelChangesNothing)
{
    commands.openPicture(); // cancelled
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].fileName, "matrix.bmp");
    EXPECT_EQ(filterText(dialogs.openRequests[0].filters),
              "All pictures (*.bmp)|*.bmp|BMP pictures (*.bmp)|*.bmp|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.openRequests[0].filterIndex, 1);
    EXPECT_EQ(dialogs.openRequests[0].defaultExtension, "bmp");
    EXPECT_FALSE(model.picture.hasPicture());
    EXPECT_EQ(pictureView.shows, 0);

    commands.savePictureAs(); // before any picture: no dialog at all
    EXPECT_TRUE(dialogs.saveRequests.empty());

    const std::string path = writeBmp(folder_, "chosen.bmp", gradient24(12, 12));
    dialogs.openAnswers.push_back(FileDialogChoice{path, 2});
    commands.openPicture();
    EXPECT_TRUE(model.picture.hasPicture());
    commands.openPicture(); // cancelled again
    EXPECT_EQ(dialogs.openRequests.back().fileName, path);
    EXPECT_EQ(dialogs.openRequests.back().filterIndex, 2);

    commands.savePictureAs(); // cancelled: nothing written
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    // The save dialog proposes the opened file, in its format.
    EXPECT_EQ(dialogs.saveRequests[0].fileName, path);
    EXPECT_EQ(dialogs.saveRequests[0].filterIndex, 1);
    EXPECT_EQ(filterText(dialogs.saveRequests[0].filters), "BMP pictures (*.bmp)|*.bmp");
    const std::string out = folder_.file("out.png");
    dialogs.saveAnswers.push_back(FileDialogChoice{out, 1});
    commands.savePictureAs();
    commands.savePictureAs();
    // Where no codec writes PNG, a .png name holds a bitmap file, and the
    // next save proposes the name with the extension of what it holds.
    EXPECT_EQ(dialogs.saveRequests.back().fileName, folder_.file("out.bmp"));
    const std::vector<std::uint8_t> written = readBytes(out);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written[0], 'B');
    EXPECT_EQ(written[1], 'M');
}

TEST_F(PictureCommandsTest, SaveGivesBackTheFormatItWasOpenedIn)
{
    // An 8-bit core-header picture with a small table, 6 wide (widened to 8).
    std::vector<Colour> table = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {90, 90, 90, 0}};
    PixelFormat format = PixelFormat::indexed(8, table);
    format.coreHeader = true;
    Bitmap indexed(6, 4, format);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 6; ++x) indexed.row(y)[x] = static_cast<std::uint8_t>(1 + (x + y) % 4);
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "pal.bmp", indexed)));

    // Push colours that are not in the table: each lands on its nearest.
    std::uint8_t* view = model.picture.viewToDraw().colours.data();
    for (std::int32_t i = 0; i < model.picture.width() * model.picture.height(); ++i) {
        view[3 * i] = static_cast<std::uint8_t>(i * 37);
        view[3 * i + 1] = static_cast<std::uint8_t>(i * 11);
        view[3 * i + 2] = 250;
    }
    commands.pushView(std::array{PixelRect{0, 0, model.picture.width(), model.picture.height()}});
    EXPECT_TRUE(messages.shown.empty());

    const Bitmap back = saveAndReadBack();
    ASSERT_TRUE(errors.shown.empty());
    EXPECT_EQ(back.width(), 8);
    EXPECT_EQ(back.height(), 4);
    EXPECT_EQ(back.format().bitsPerPixel, 8);
    EXPECT_TRUE(back.format().coreHeader);
    ASSERT_GE(back.format().colourTable.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(back.format().colourTable[i], table[i]);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 8; ++x) EXPECT_LT(back.row(y)[x], table.size()) << "a colour of the table";
    // All-red pushes (250 red, little else) match the red entry.
    EXPECT_EQ(back.row(0)[0], 3);
}

TEST_F(PictureCommandsTest, TwentyFourBitRoundTripIsExact)
{
    const Bitmap original = gradient24(97, 50);
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "in.bmp", original)));
    const Bitmap back = saveAndReadBack();
    ASSERT_EQ(back.width(), 100);
    ASSERT_EQ(back.height(), 50);
    EXPECT_EQ(back.format().bitsPerPixel, 24);
    EXPECT_FALSE(back.format().coreHeader);
    for (std::int32_t y = 0; y < 50; ++y) {
        EXPECT_EQ(0, std::memcmp(back.row(y), original.row(y), 3 * 97)) << "row " << y;
        for (int b = 3 * 97; b < 300; ++b) EXPECT_EQ(back.row(y)[b], 0) << "added columns are black";
    }
}

TEST_F(PictureCommandsTest, SaveFailuresKeepTheOldFileAndSayWhy)
{
    ASSERT_TRUE(commands.openFile(writeBmp(folder_, "in.bmp", gradient24(16, 16))));
    const std::string nowhere = folder_.file("no-such-folder/out.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{nowhere, 1});
    commands.savePictureAs();
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Cannot create file " + nowhere + ": No such file or directory");

    // A folder in the way of the name: the folder stays as it was.
    const std::string folderName = folder_.file("taken.bmp");
    std::filesystem::create_directory(folderName);
    dialogs.saveAnswers.push_back(FileDialogChoice{folderName, 1});
    commands.savePictureAs();
    ASSERT_EQ(errors.shown.size(), 2u);
    EXPECT_EQ(errors.shown[1], "Cannot create file " + folderName + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(folderName));
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(WindowFitting, WorkedExamplesOnATenTwentyFourScreen)
{
    FakeFrame frame;
    fitWindowToPicture(frame, 400, 300);
    EXPECT_EQ(frame.currentContentsWidth, 445);
    EXPECT_EQ(frame.x, (1024 - (445 + 8)) / 2);
    EXPECT_EQ(frame.currentContentsHeight, 304);
    EXPECT_EQ(frame.y, (768 - (304 + 46)) / 2);

    // A picture that does not fit, across or down, gives the window the
    // whole screen.
    FakeFrame wide;
    fitWindowToPicture(wide, 984, 300); // 981 padded: 41 + 984 is not below 1024
    EXPECT_EQ(wide.fills, 1);
    EXPECT_EQ(wide.width(), 1024);
    EXPECT_EQ(wide.height(), 768);

    FakeFrame edge;
    edge.frameWidth = 8;
    fitWindowToPicture(edge, 980, 300); // 1021 < 1024
    EXPECT_EQ(edge.currentContentsWidth, 1025);
    EXPECT_EQ(edge.width(), 1033);
    EXPECT_EQ(edge.x, -4) << "-9 / 2 truncates toward zero";

    FakeFrame tall;
    fitWindowToPicture(tall, 100, 730); // 730 + 46 is not below 768
    EXPECT_EQ(tall.fills, 1);
    EXPECT_EQ(tall.y, 0);
    EXPECT_EQ(frame.fills + edge.fills, 0);
}

} // namespace
} // namespace plexor::test
