// The program's standard error holds its own lines only: what libpng,
// libtiff and the others say of a picture they read or write never reaches
// it, run as a script runs `plexor --apply`.

#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/qt_image_bytes.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {
namespace {

// 16 x 8 pixels as a file of `format`; where `flagged`, tagged with an sRGB
// profile whose rendering intent (4) is none that libpng knows, which it
// says, through Qt, on every read and write of a PNG file, while Qt takes
// the profile.
std::vector<std::uint8_t> written(const char* format, bool flagged = false)
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray profile = QColorSpace(QColorSpace::SRgb).iccProfile();
    profile[67] = 4;
    if (flagged) image.setColorSpace(QColorSpace::fromIccProfile(profile));
    return qtWritten(image, format);
}

// What Qt has said since it was last emptied.
QStringList& said()
{
    static QStringList messages;
    return messages;
}

void keep(QtMsgType, const QMessageLogContext&, const QString& message)
{
    said() << message;
}

// What Qt says, in this process, as it reads `file`.
QString saidOnReading(const std::vector<std::uint8_t>& file)
{
    said().clear();
    const QtMessageHandler before = qInstallMessageHandler(keep);
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    QBuffer device(&bytes);
    QImageReader(&device, "png").read();
    qInstallMessageHandler(before);
    return said().join('\n');
}

struct Outcome {
    int status = -1;
    std::string errors;
};

// The program run on `arguments` (paths without spaces), its standard
// error kept. The leak checker of a sanitizer build keeps the count of the
// libraries' leaks it is told to pass over to itself.
Outcome runProgram(const TempFolder& folder, const std::string& arguments)
{
    const std::string command = "LSAN_OPTIONS=print_suppressions=0 " PLEXOR_PROGRAM " " + arguments + " >/dev/null 2>" +
                                folder.file("errors.txt");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(folder.file("errors.txt"))};
}

TEST(ProgramMessages, ApplyOverPicturesTheLibrariesWarnAboutSaysNothing)
{
    const std::vector<std::uint8_t> flagged = written("png", true);
    ASSERT_TRUE(saidOnReading(flagged).contains("libpng warning")) << "libpng has nothing to say";
    const TempFolder folder;
    folder.write("one.png", flagged);
    folder.write("two.png", flagged);
    writeText(folder.file("bend.grid"), "plexor-grid 1\nsize 16 8\nstep 4\npoint 2 1 1 -1\n");
    std::filesystem::create_directory(folder.path() / "out");
    const std::string grid = folder.file("bend.grid") + " ";
    Outcome run = runProgram(folder, "--apply " + grid + "--out-dir " + folder.file("out") + " " +
                                         folder.file("one.png") + " " + folder.file("two.png"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    for (const char* output : {"out.png", "out.tif", "out.jpg", "out.webp", "out.heic", "out.avif"}) {
        run = runProgram(folder, "--apply " + grid + folder.file("one.png") + " " + folder.file(output));
        EXPECT_EQ(run.status, 0) << output;
        EXPECT_EQ(run.errors, "") << output;
    }
    EXPECT_TRUE(saidOnReading(readBytes(folder.file("out/one.png"))).contains("libpng warning"))
        << "the profile is kept";
}

TEST(ProgramMessages, APictureThatCannotBeReadGetsItsOneLine)
{
    // libpng and libtiff print what they find wrong with these themselves.
    const TempFolder folder;
    std::vector<std::uint8_t> png = written("png");
    png.resize(png.size() / 2);
    std::vector<std::uint8_t> tiff = written("tiff");
    tiff.resize(tiff.size() / 2);
    const std::string cut = folder.write("cut.png", png) + " " + folder.write("cut.tif", tiff);
    writeText(folder.file("bend.grid"), "plexor-grid 1\nsize 16 8\nstep 4\n");
    std::filesystem::create_directory(folder.path() / "out");
    const Outcome run =
        runProgram(folder, "--apply " + folder.file("bend.grid") + " --out-dir " + folder.file("out") + " " + cut);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "plexor: " + folder.file("cut.png") + ": Cannot read the PNG picture " +
                              folder.file("cut.png") + ": Unable to read image data\n" +
                              "plexor: " + folder.file("cut.tif") + ": Cannot read the TIFF picture " +
                              folder.file("cut.tif") + ": Unable to read image data\n");
}

} // namespace
} // namespace plexor::test
