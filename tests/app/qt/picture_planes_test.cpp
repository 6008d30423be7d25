// What a picture holds beside its 8-bit colours, kept through every edit
// and every save. Its alpha is deformed as a grey picture holding the alpha
// values would be; PNG, WebP and TIFF keep it, and JPEG and BMP show the
// picture over white. A picture of 16 bits a channel is deformed as 8-bit
// pictures of its high bytes and of its low bytes would be.

#include <sstream>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include "app/headless_apply.h"
#include "app/main_commands.h"
#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "tests/support/colours.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

constexpr int kWidth = 150, kHeight = 101; // widened to 152 with transparent columns

// Pixel (x, y)'s alpha: every value from clear to opaque, in blocks.
int alphaAt(int x, int y)
{
    return (x * 7 + y * 13) % 256;
}

std::string writePng(const TempFolder& folder, const std::string& name, const QImage& image)
{
    const std::string path = folder.file(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "png"));
    return path;
}

// The commands of one window over a picture, with the Qt codec.
struct Window : FakeShell {
    explicit Window(const std::string& path)
    {
        commands.start();
        EXPECT_TRUE(commands.document().openFile(path));
    }
    ShellPorts qtPorts()
    {
        return ShellPorts{messages, errors, dialogs, frame, pictureView, grid, window, qtCodec, settings, [] {}};
    }
    void settle() { EXPECT_TRUE(serveUntilIdle(commands.worker())); }

    QtImageCodec qtCodec;
    MainCommands commands{qtPorts()};
};

// The same edits on each picture: a grid, drags with a hand-over, an undo and a
// redo, a grid over the result with a nudge of every point, undone and
// redone, then a grid file laid.
void edit(Window& w, const std::string& gridFile)
{
    w.grid.answers.push_back("24");
    w.commands.grid().layNewGrid();
    const auto drag = [&w](int c, int r, int dx, int dy) {
        const ControlPoint& p = w.commands.controlGrid().point(c, r);
        w.commands.mouse().press(p.x, p.y);
        w.commands.mouse().move(p.x + dx / 2, p.y + dy / 2);
        w.commands.mouse().move(p.x + dx, p.y + dy);
        w.commands.mouse().release(p.x + dx, p.y + dy);
    };
    drag(2, 2, 11, -7);
    drag(3, 1, 30, 4); // a whole step: handed over
    w.settle();
    w.commands.undo();
    w.commands.history().redo();
    w.settle();
    w.grid.answers.push_back("16");
    w.commands.grid().layGridOverResult();
    w.commands.selection().selectAll();
    w.commands.selection().nudge(3, -2);
    w.settle();
    w.commands.undo();
    w.commands.undo();
    w.commands.history().redo();
    w.commands.history().redo();
    w.settle();
    if (gridFile.empty()) return;
    w.dialogs.openAnswers.push_back(FileDialogChoice{gridFile, 1});
    w.commands.grid().openGrid();
    w.settle();
}

class TransparencyTest : public ::testing::Test {
protected:
    TransparencyTest()
    {
        QImage logo(kWidth, kHeight, QImage::Format_ARGB32);
        QImage grey(kWidth, kHeight, QImage::Format_RGB32);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                logo.setPixel(x, y, qRgba(x, y, 255 - x, alphaAt(x, y)));
                grey.setPixel(x, y, qRgb(alphaAt(x, y), alphaAt(x, y), alphaAt(x, y)));
            }
        logoPath_ = writePng(folder_, "logo.png", logo);
        greyPath_ = writePng(folder_, "grey.png", grey);
    }

    // Whether the alpha of `logo` is the grey picture's grey, pixel for pixel.
    static void expectAlphaIsTheGreyPicture(Window& logo, Window& grey)
    {
        const PictureBuffers& a = logo.commands.buffers();
        const PictureBuffers& g = grey.commands.buffers();
        ASSERT_TRUE(a.hasAlpha());
        ASSERT_FALSE(g.hasAlpha());
        ASSERT_EQ(a.width(), g.width());
        const std::size_t pixels = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height());
        std::size_t differ = 0;
        for (std::size_t i = 0; i < pixels; ++i) differ += a.work().alpha[i] != g.work().colours[3 * i];
        EXPECT_EQ(differ, 0u);
    }

    TempFolder folder_;
    std::string logoPath_, greyPath_;
};

TEST_F(TransparencyTest, SavesKeepTheAlphaOrShowThePictureOverWhite)
{
    Window logo(logoPath_);
    logo.commands.view().toggleGridShown(); // the overlay off: the picture alone
    const auto saveAs = [&](const std::string& name) {
        logo.dialogs.saveAnswers.push_back(FileDialogChoice{folder_.file(name), 1});
        EXPECT_TRUE(logo.commands.document().savePictureAs()) << name;
        QImage saved(QString::fromStdString(folder_.file(name)));
        EXPECT_FALSE(saved.isNull()) << name;
        return saved.convertToFormat(QImage::Format_ARGB32);
    };
    for (const char* name : {"kept.png", "kept.webp", "kept.tiff"}) {
        const QImage saved = saveAs(name);
        ASSERT_EQ(saved.width(), 152) << name;
        EXPECT_EQ(qAlpha(saved.pixel(40, 30)), alphaAt(40, 30)) << name;
        EXPECT_EQ(qAlpha(saved.pixel(151, 30)), 0) << name;
        EXPECT_EQ(qRed(saved.pixel(40, 30)), 40) << name;
    }
    for (const char* name : {"white.bmp", "white.jpg"}) {
        const QImage saved = saveAs(name);
        EXPECT_TRUE(saved.hasAlphaChannel() == false || qAlpha(saved.pixel(3, 3)) == 255) << name;
        // JPEG's loss on this busy pattern is a few levels more.
        const int tolerance = std::string(name).ends_with("jpg") ? 12 : 1;
        const int a = alphaAt(40, 30);
        EXPECT_NEAR(qBlue(saved.pixel(40, 30)), (215 * a + 255 * (255 - a)) / 255, tolerance) << name;
        EXPECT_NEAR(qBlue(saved.pixel(151, 30)), 255, tolerance) << name;
    }
}

TEST_F(TransparencyTest, TheAlphaIsDeformedAsAGreyPictureOfItWouldBe)
{
    Window logo(logoPath_), grey(greyPath_);
    edit(logo, "");
    edit(grey, "");
    expectAlphaIsTheGreyPicture(logo, grey);
    EXPECT_EQ(logo.commands.buffers().work().alpha[151], 0) << "the widened column is transparent";

    // A grid file laid from the picture as it stands gives the same bits.
    const std::string gridFile = folder_.file("edits.grid");
    logo.dialogs.saveAnswers.push_back(FileDialogChoice{gridFile, 1});
    logo.commands.grid().saveGrid();
    Window logoAgain(logoPath_), greyAgain(greyPath_);
    edit(logoAgain, gridFile);
    edit(greyAgain, gridFile);
    expectAlphaIsTheGreyPicture(logoAgain, greyAgain);
}

// Pixel (x, y)'s channel c (red, green, blue, alpha) as a high and a low
// byte of patterns of their own; the alpha is never wholly clear.
int highAt(int x, int y, int c)
{
    return c == 3 ? alphaAt(x, y) : (x * 3 + y * 5 + c * 70) % 256;
}
int lowAt(int x, int y, int c)
{
    return c == 3 ? 1 + (x * 5 + y * 17) % 255 : (x * 11 + y * 7 + c * 90) % 256;
}

// Whether plane `a`, of `step` bytes a pixel, holds byte `channel` of each
// pixel of plane `b`, of `bStep`, every pixel of the widened picture.
void expectPlaneIs(const ByteBuffer& a, int step, const ByteBuffer& b, int bStep, int channel, std::size_t pixels)
{
    std::size_t differ = 0;
    for (std::size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < step; ++c) differ += a[step * i + c] != b[bStep * i + (step == 1 ? channel : c)];
    EXPECT_EQ(differ, 0u);
}

TEST(DeepPictures, HighAndLowBytesAreDeformedAsEightBitPicturesOfThemWouldBe)
{
    TempFolder folder;
    QImage deep(kWidth, kHeight, QImage::Format_RGBA64);
    QImage high(kWidth, kHeight, QImage::Format_ARGB32);
    QImage low(kWidth, kHeight, QImage::Format_RGB32);
    QImage lowAlpha(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<quint16*>(deep.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < 4; ++c) row[4 * x + c] = static_cast<quint16>(highAt(x, y, c) << 8 | lowAt(x, y, c));
            high.setPixel(x, y, qRgba(highAt(x, y, 0), highAt(x, y, 1), highAt(x, y, 2), highAt(x, y, 3)));
            low.setPixel(x, y, qRgb(lowAt(x, y, 0), lowAt(x, y, 1), lowAt(x, y, 2)));
            lowAlpha.setPixel(x, y, qRgb(lowAt(x, y, 3), lowAt(x, y, 3), lowAt(x, y, 3)));
        }
    }
    const std::string deepPath = writePng(folder, "deep.png", deep);

    // A grid file of the same edits, then every picture edited and it laid.
    const std::string gridFile = folder.file("edits.grid");
    {
        Window first(deepPath);
        ASSERT_TRUE(first.commands.buffers().work().deep());
        edit(first, "");
        first.dialogs.saveAnswers.push_back(FileDialogChoice{gridFile, 1});
        first.commands.grid().saveGrid();
    }
    Window d(deepPath), h(writePng(folder, "high.png", high)), l(writePng(folder, "low.png", low)),
        la(writePng(folder, "low-alpha.png", lowAlpha));
    for (Window* w : {&d, &h, &l, &la}) edit(*w, gridFile);
    const PixelPlanes& planes = d.commands.buffers().work();
    ASSERT_TRUE(planes.deep());
    ASSERT_EQ(d.commands.buffers().width(), h.commands.buffers().width());
    const std::size_t pixels =
        static_cast<std::size_t>(d.commands.buffers().width()) * static_cast<std::size_t>(kHeight);
    expectPlaneIs(planes.colours, 3, h.commands.buffers().work().colours, 3, 0, pixels);
    expectPlaneIs(planes.alpha, 1, h.commands.buffers().work().alpha, 1, 0, pixels);
    expectPlaneIs(planes.low, 3, l.commands.buffers().work().colours, 3, 0, pixels);
    expectPlaneIs(planes.alphaLow, 1, la.commands.buffers().work().colours, 3, 0, pixels);

    // --apply gives what Open grid and Save as give, low bytes and all.
    Window opened(deepPath);
    opened.dialogs.openAnswers.push_back(FileDialogChoice{gridFile, 1});
    opened.commands.grid().openGrid();
    opened.settle();
    opened.commands.view().toggleGridShown();
    opened.dialogs.saveAnswers.push_back(FileDialogChoice{folder.file("saved.png"), 1});
    ASSERT_TRUE(opened.commands.document().savePictureAs());
    std::ostringstream errors;
    FileWriteOps writes;
    const QtImageCodec codec;
    const HeadlessServices services{codec, writes, ParallelDeformOptions{}, systemAvailableMemory, errors};
    EXPECT_EQ(applyGridToFiles(HeadlessApply{gridFile, {deepPath}, folder.file("applied.png"), "", ""}, services), 0u);
    EXPECT_EQ(errors.str(), "");
    const Picture applied = openPicture(folder.file("applied.png"), codec).picture;
    EXPECT_TRUE(applied.deep());
    EXPECT_EQ(channels16(applied), channels16(openPicture(folder.file("saved.png"), codec).picture));
}

} // namespace
} // namespace plexor::test
