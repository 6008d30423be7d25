#include "app/picture_commands.h"

#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "app/window_fitting.h"
#include "platform/bmp_reader.h"
#include "platform/dib_transfer.h"
#include "tests/support/allocation_control.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

class PictureCommandsTest : public ::testing::Test {
protected:
    PictureCommandsTest() { model.Messages = &messages; }

    // Saves through the dialog and reads the file back.
    TBitmap SaveAndReadBack()
    {
        const std::string saved = folder.File("saved.bmp");
        dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
        commands.MISaveAsClick();
        return ReadBmp(ReadBytes(saved));
    }

    std::uint8_t* Work(std::int32_t x, std::int32_t y)
    {
        return model.WorkImage.data() + 3 * (static_cast<std::size_t>(y) * model.ImageWidth + x);
    }

    DeformModel model;
    RecordingSink messages;
    FakeErrors errors;
    FakeDialogs dialogs;
    FakeFrame frame;
    FakeImage image;
    const BmpOnlyCodec codec;
    PictureCommands commands{model, dialogs, frame, image, errors, codec};
    TempFolder folder;
};

TEST_F(PictureCommandsTest, OpenWidensToAMultipleOfFourWithBlackColumns)
{
    for (auto [width, padded] : {std::pair{97, 100}, {98, 100}, {99, 100}, {100, 100}, {1, 4}}) {
        const std::string path = WriteBmp(folder, "w" + std::to_string(width) + ".bmp", Gradient24(width, 50));
        ASSERT_TRUE(commands.OpenFile(path));
        EXPECT_EQ(model.ImageWidth, padded);
        EXPECT_EQ(model.ImageHeight, 50);
        EXPECT_EQ(model.PixelCapacity, padded * 50 + 3);
        EXPECT_EQ(commands.ScreenBitmap().Width(), padded);
        EXPECT_TRUE(model.ImageLoaded);
        // The picture as read, then black columns, in all three buffers.
        EXPECT_EQ(Work(width - 1, 7)[0], static_cast<std::uint8_t>(width - 1));
        EXPECT_EQ(Work(width - 1, 7)[1], 7);
        EXPECT_EQ(Work(width - 1, 7)[2], 200);
        for (std::int32_t x = width; x < padded; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(Work(x, 9)[c], 0) << "column " << x;
        EXPECT_EQ(0, std::memcmp(model.WorkImage.data(), model.ViewImage.data(), model.WorkImage.size()));
        EXPECT_EQ(0, std::memcmp(model.WorkImage.data(), model.SourceImage.data(), model.WorkImage.size()));
        EXPECT_EQ(model.SplatMask.size(), static_cast<std::size_t>(model.PixelCapacity));
        // Open neither refreshes nor pushes, but the control shows the new bitmap.
        EXPECT_EQ(image.bitmap, &commands.ScreenBitmap());
        EXPECT_EQ(image.repaints, 0);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(errors.shown.empty());
    const BitmapInfoHeader& h = commands.BufferFormat().bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 4);
    EXPECT_EQ(h.biHeight, -50);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
}

TEST_F(PictureCommandsTest, ZeroByteBitmapIsAnEmptyPicture)
{
    const std::string path = folder.File("empty.bmp");
    WriteBytes(path, {});
    ASSERT_TRUE(commands.OpenFile(path));
    EXPECT_EQ(model.ImageWidth, 0);
    EXPECT_EQ(model.ImageHeight, 0);
    EXPECT_EQ(model.PixelCapacity, 3);
    EXPECT_TRUE(model.ImageLoaded);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "GetDIBits failed");
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(messages.shown[0].style, 0);
    // The client area shrinks to the panel and the allowance.
    EXPECT_EQ(frame.clientWidth, 45);
    EXPECT_EQ(frame.clientHeight, 4);

    const std::string saved = folder.File("saved.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{saved, 1});
    commands.MISaveAsClick();
    EXPECT_TRUE(errors.shown.empty());
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(std::filesystem::file_size(saved), 0u);
}

TEST_F(PictureCommandsTest, FailedLoadsChangeNothing)
{
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "first.bmp", Gradient24(40, 30))));
    const std::vector<std::uint8_t> work(model.WorkImage.data(), model.WorkImage.data() + model.WorkImage.size());
    const FakeFrame frameBefore = frame;
    const int showsBefore = image.shows;

    std::vector<std::uint8_t> bmp = EncodeBmp(Gradient24(8, 8));
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
        const std::string path = folder.File(c.name);
        WriteBytes(path, c.bytes);
        EXPECT_FALSE(commands.OpenFile(path)) << c.name;
        ASSERT_EQ(errors.shown.size(), 1u) << c.name;
        EXPECT_EQ(errors.shown[0], c.message) << c.name;
    }
    errors.shown.clear();
    const std::string missing = folder.File("missing.bmp");
    EXPECT_FALSE(commands.OpenFile(missing));
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Cannot open file " + missing);

    EXPECT_EQ(model.ImageWidth, 40);
    EXPECT_EQ(model.ImageHeight, 30);
    EXPECT_EQ(0, std::memcmp(work.data(), model.WorkImage.data(), work.size()));
    EXPECT_EQ(commands.ScreenBitmap().Width(), 40);
    EXPECT_EQ(image.shows, showsBefore);
    EXPECT_EQ(frame.clientWidth, frameBefore.clientWidth);
    EXPECT_EQ(frame.left, frameBefore.left);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PictureCommandsTest, IconsAndMetafilesOpenAsEmptyPictures)
{
    const std::string icon = folder.File("a.ICO");
    WriteBytes(icon, {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 22, 0, 0, 0});
    ASSERT_TRUE(commands.OpenFile(icon));
    EXPECT_EQ(model.ImageWidth, 0);
    EXPECT_EQ(model.ImageHeight, 0);
    EXPECT_TRUE(commands.ScreenBitmap().Empty());
}

TEST_F(PictureCommandsTest, PictureThatCannotGetItsBuffersKeepsTheOldOne)
{
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "small.bmp", Gradient24(40, 30))));
    model.LayGrid(10);
    const std::uint64_t held = 3 * model.WorkImage.size() + model.SplatMask.size();
    model.AvailableMemory = [] { return std::uint64_t{0}; }; // no memory to spare
    const std::string big = WriteBmp(folder, "big.bmp", Gradient24(400, 300));
    EXPECT_FALSE(commands.OpenFile(big));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Not enough memory for source.");
    EXPECT_EQ(messages.shown[0].style, 16);
    EXPECT_EQ(model.ImageWidth, 40);
    EXPECT_EQ(3 * model.WorkImage.size() + model.SplatMask.size(), held);
    EXPECT_TRUE(model.GridExists());
    EXPECT_EQ(commands.ScreenBitmap().Width(), 40);
    // The new buffers are had before the old ones go, so even a picture of
    // the same size needs room beside them.
    EXPECT_FALSE(commands.OpenFile(WriteBmp(folder, "same.bmp", Gradient24(40, 30))));
    EXPECT_EQ(messages.shown.size(), 2u);
    model.AvailableMemory = [held] { return held; };
    EXPECT_TRUE(commands.OpenFile(WriteBmp(folder, "same.bmp", Gradient24(40, 30))));
}

TEST_F(PictureCommandsTest, BuffersRefusedAfterTheCheckLeaveTheOldPictureWhole)
{
    // The check says the new buffers fit; the system then refuses one of
    // them all the same. The open changes nothing, whichever buffer it was.
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "old.bmp", Gradient24(40, 30))));
    model.LayGrid(10);
    model.Point(1, 1).DX = 2;
    model.WorkImage[5] = 77; // a deformed pixel
    commands.PushView(std::array{PixelRect{0, 0, model.ImageWidth, model.ImageHeight}});
    const std::vector<std::uint8_t> work(model.WorkImage.data(), model.WorkImage.data() + model.WorkImage.size());
    const std::vector<std::uint8_t> source(model.SourceImage.data(),
                                           model.SourceImage.data() + model.SourceImage.size());
    const std::vector<std::uint8_t> screen = EncodeBmp(commands.ScreenBitmap());
    const FakeFrame frameBefore = frame;

    // 8 bits a pixel: the file is a third of one 24-bit buffer.
    std::vector<RgbQuad> table(256);
    for (int i = 0; i < 256; ++i) table[i] = RgbQuad{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    const std::string big = WriteBmp(folder, "big.bmp", TBitmap(400, 300, PixelFormat::Indexed(8, table)));
    const std::size_t buffer = 3 * (400 * 300 + 3);
    for (int granted = 0; granted < 3; ++granted) {
        messages.shown.clear();
        bool opened = true;
        {
            const AllocationLimit limit(buffer, granted);
            opened = commands.OpenFile(big);
            EXPECT_EQ(limit.Refused(), 1) << granted;
        }
        EXPECT_FALSE(opened);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  granted == 0 ? "Not enough memory for source." : "Not enough memory for destination.");
        EXPECT_EQ(messages.shown[0].style, 16);
        EXPECT_TRUE(model.ImageLoaded);
        EXPECT_EQ(model.ImageWidth, 40);
        EXPECT_EQ(model.ImageHeight, 30);
        EXPECT_EQ(std::vector(model.WorkImage.data(), model.WorkImage.data() + model.WorkImage.size()), work);
        EXPECT_EQ(std::vector(model.SourceImage.data(), model.SourceImage.data() + model.SourceImage.size()), source);
        EXPECT_EQ(model.ViewImage.size(), work.size());
        EXPECT_EQ(model.SplatMask.size(), 40u * 30 + 3);
        ASSERT_TRUE(model.GridExists());
        EXPECT_EQ(model.Point(1, 1).DX, 2);
        EXPECT_EQ(model.CellQueued.size(), static_cast<std::size_t>(model.CellCount()));
        EXPECT_EQ(EncodeBmp(commands.ScreenBitmap()), screen);
        EXPECT_EQ(image.bitmap, &commands.ScreenBitmap());
        EXPECT_EQ(frame.clientWidth, frameBefore.clientWidth);
    }
}

TEST_F(PictureCommandsTest, ReopeningKeepsAGridOfTheSameSizeAndDropsAnother)
{
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "a.bmp", Gradient24(97, 50))));
    model.LayGrid(10);
    model.Point(2, 2).DX = 3;
    // 98 wide pads to the same 100: the grid and its displacement stay.
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "b.bmp", Gradient24(98, 50))));
    ASSERT_TRUE(model.GridExists());
    EXPECT_EQ(model.Point(2, 2).DX, 3);
    EXPECT_EQ(model.WeightTable.size(), 16u * 11 * 11);
    // Another size: the grid goes with everything built for it.
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "c.bmp", Gradient24(60, 50))));
    EXPECT_FALSE(model.GridExists());
    EXPECT_TRUE(model.CellQueued.empty());
    EXPECT_EQ(model.CellQueue.Size(), 0u);
}

TEST_F(PictureCommandsTest, DialogsProposeTheLastChoiceAndCancelChangesNothing)
{
    commands.MIOpenClick(); // cancelled
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].FileName, "matrix.bmp");
    EXPECT_EQ(dialogs.openRequests[0].Filter,
              "All pictures (*.bmp)|*.bmp|BMP pictures (*.bmp)|*.bmp|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.openRequests[0].FilterIndex, 1);
    EXPECT_EQ(dialogs.openRequests[0].DefaultExtension, "bmp");
    EXPECT_FALSE(model.ImageLoaded);
    EXPECT_EQ(image.shows, 0);

    commands.MISaveAsClick(); // before any picture: no dialog at all
    EXPECT_TRUE(dialogs.saveRequests.empty());

    const std::string path = WriteBmp(folder, "chosen.bmp", Gradient24(12, 12));
    dialogs.openAnswers.push_back(FileDialogChoice{path, 2});
    commands.MIOpenClick();
    EXPECT_TRUE(model.ImageLoaded);
    commands.MIOpenClick(); // cancelled again
    EXPECT_EQ(dialogs.openRequests.back().FileName, path);
    EXPECT_EQ(dialogs.openRequests.back().FilterIndex, 2);

    commands.MISaveAsClick(); // cancelled: nothing written
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    // The save dialog proposes the opened file, in its format.
    EXPECT_EQ(dialogs.saveRequests[0].FileName, path);
    EXPECT_EQ(dialogs.saveRequests[0].FilterIndex, 1);
    EXPECT_EQ(dialogs.saveRequests[0].Filter, "BMP pictures (*.bmp)|*.bmp");
    const std::string out = folder.File("out.png");
    dialogs.saveAnswers.push_back(FileDialogChoice{out, 1});
    commands.MISaveAsClick();
    commands.MISaveAsClick();
    // Where no codec writes PNG, a .png name holds a bitmap file, and the
    // next save proposes the name with the extension of what it holds.
    EXPECT_EQ(dialogs.saveRequests.back().FileName, folder.File("out.bmp"));
    const std::vector<std::uint8_t> written = ReadBytes(out);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written[0], 'B');
    EXPECT_EQ(written[1], 'M');
}

TEST_F(PictureCommandsTest, SaveGivesBackTheFormatItWasOpenedIn)
{
    // An 8-bit core-header picture with a small table, 6 wide (widened to 8).
    std::vector<RgbQuad> table = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {90, 90, 90, 0}};
    PixelFormat format = PixelFormat::Indexed(8, table);
    format.CoreHeader = true;
    TBitmap indexed(6, 4, format);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 6; ++x) indexed.Row(y)[x] = static_cast<std::uint8_t>(1 + (x + y) % 4);
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "pal.bmp", indexed)));

    // Push colours that are not in the table: each lands on its nearest.
    std::uint8_t* view = model.ViewImage.data();
    for (std::int32_t i = 0; i < model.ImageWidth * model.ImageHeight; ++i) {
        view[3 * i] = static_cast<std::uint8_t>(i * 37);
        view[3 * i + 1] = static_cast<std::uint8_t>(i * 11);
        view[3 * i + 2] = 250;
    }
    commands.PushView(std::array{PixelRect{0, 0, model.ImageWidth, model.ImageHeight}});
    EXPECT_TRUE(messages.shown.empty());

    const TBitmap back = SaveAndReadBack();
    ASSERT_TRUE(errors.shown.empty());
    EXPECT_EQ(back.Width(), 8);
    EXPECT_EQ(back.Height(), 4);
    EXPECT_EQ(back.Format().BitsPerPixel, 8);
    EXPECT_TRUE(back.Format().CoreHeader);
    ASSERT_GE(back.Format().ColourTable.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(back.Format().ColourTable[i], table[i]);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 8; ++x) EXPECT_LT(back.Row(y)[x], table.size()) << "a colour of the table";
    // All-red pushes (250 red, little else) match the red entry.
    EXPECT_EQ(back.Row(0)[0], 3);
}

TEST_F(PictureCommandsTest, TwentyFourBitRoundTripIsExact)
{
    const TBitmap original = Gradient24(97, 50);
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "in.bmp", original)));
    const TBitmap back = SaveAndReadBack();
    ASSERT_EQ(back.Width(), 100);
    ASSERT_EQ(back.Height(), 50);
    EXPECT_EQ(back.Format().BitsPerPixel, 24);
    EXPECT_FALSE(back.Format().CoreHeader);
    for (std::int32_t y = 0; y < 50; ++y) {
        EXPECT_EQ(0, std::memcmp(back.Row(y), original.Row(y), 3 * 97)) << "row " << y;
        for (int b = 3 * 97; b < 300; ++b) EXPECT_EQ(back.Row(y)[b], 0) << "added columns are black";
    }
}

TEST_F(PictureCommandsTest, SaveFailuresKeepTheOldFileAndSayWhy)
{
    ASSERT_TRUE(commands.OpenFile(WriteBmp(folder, "in.bmp", Gradient24(16, 16))));
    const std::string nowhere = folder.File("no-such-folder/out.bmp");
    dialogs.saveAnswers.push_back(FileDialogChoice{nowhere, 1});
    commands.MISaveAsClick();
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Cannot create file " + nowhere + ": No such file or directory");

    // A folder in the way of the name: the folder stays as it was.
    const std::string folderName = folder.File("taken.bmp");
    std::filesystem::create_directory(folderName);
    dialogs.saveAnswers.push_back(FileDialogChoice{folderName, 1});
    commands.MISaveAsClick();
    ASSERT_EQ(errors.shown.size(), 2u);
    EXPECT_EQ(errors.shown[1], "Cannot create file " + folderName + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(folderName));
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(WindowFitting, WorkedExamplesOnATenTwentyFourScreen)
{
    FakeFrame frame;
    FitWindowToPicture(frame, 400, 300);
    EXPECT_EQ(frame.clientWidth, 445);
    EXPECT_EQ(frame.left, (1024 - (445 + 8)) / 2);
    EXPECT_EQ(frame.clientHeight, 304);
    EXPECT_EQ(frame.top, (768 - (304 + 46)) / 2);

    // A picture that does not fit, across or down, gives the window the
    // whole screen.
    FakeFrame wide;
    FitWindowToPicture(wide, 984, 300); // 981 padded: 41 + 984 is not below 1024
    EXPECT_EQ(wide.fills, 1);
    EXPECT_EQ(wide.Width(), 1024);
    EXPECT_EQ(wide.Height(), 768);

    FakeFrame edge;
    edge.frameWidth = 8;
    FitWindowToPicture(edge, 980, 300); // 1021 < 1024
    EXPECT_EQ(edge.clientWidth, 1025);
    EXPECT_EQ(edge.Width(), 1033);
    EXPECT_EQ(edge.left, -4) << "-9 / 2 truncates toward zero";

    FakeFrame tall;
    FitWindowToPicture(tall, 100, 730); // 730 + 46 is not below 768
    EXPECT_EQ(tall.fills, 1);
    EXPECT_EQ(tall.top, 0);
    EXPECT_EQ(frame.fills + edge.fills, 0);
}

} // namespace
} // namespace plexor::test
