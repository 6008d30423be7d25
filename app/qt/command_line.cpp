#include "app/qt/command_line.h"

#include <exception>
#include <iostream>
#include <optional>
#include <unistd.h>
#include <utility>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QStringList>

#include "app/headless_apply.h"
#include "app/qt/qt_image_codec.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/startup.h"
#include "engine/cell_pool.h"

namespace plexor {
namespace {

struct Options {
    QCommandLineOption apply{QStringLiteral("apply"),
                             QStringLiteral("Lays the grid file GRID over each picture and writes the result, with no "
                                            "window: plexor --apply GRID IN OUT, or plexor --apply GRID --out-dir DIR "
                                            "[--files-from FILE] IN..."),
                             QStringLiteral("GRID")};
    QCommandLineOption outDir{QStringLiteral("out-dir"),
                              QStringLiteral("With --apply: writes each result into DIR, under its picture's own name "
                                             "and in its format."),
                              QStringLiteral("DIR")};
    QCommandLineOption filesFrom{QStringLiteral("files-from"),
                                 QStringLiteral("With --apply and --out-dir: takes more pictures from FILE, one name a "
                                                "line, as they come; - for standard input."),
                                 QStringLiteral("FILE")};
    QCommandLineOption threads{QStringLiteral("threads"),
                               QStringLiteral("With --apply: deforms each picture on N threads (default: one for each "
                                              "core), so that several processes can share a machine."),
                               QStringLiteral("N")};
    QCommandLineOption quality{
        QStringLiteral("quality"),
        QStringLiteral("With --apply: writes JPEG, HEIC, AVIF and WebP results at quality N, from "
                       "1 to 100 (default: 92 for JPEG, 90 for HEIC and AVIF, lossless WebP)."),
        QStringLiteral("N")};
    QCommandLineOption resample{QStringLiteral("resample"),
                                QStringLiteral("With --apply: renders the deformation exactly (exact) or smoothly "
                                               "(smooth), whatever the grid file records."),
                                QStringLiteral("exact|smooth")};
};

// The most threads --threads may ask for.
constexpr unsigned kMaxThreads = 1024;

std::string local(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

// The help, naming the program as it is run: no application object exists
// yet to name it.
std::string helpText(const QCommandLineParser& parser)
{
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("plexor")).toStdString();
}

int usageError(const QCommandLineParser& parser, const QString& reason)
{
    std::cerr << "plexor: " << reason.toStdString() << "\n\n" << helpText(parser);
    return 2;
}

// Runs `request`, its quality and resampling set, with the paths the
// arguments name.
int runApply(int argc, char** argv, const QCommandLineParser& parser, const Options& options, unsigned threads,
             HeadlessApply request)
{
    request.gridPath = local(parser.value(options.apply));
    const QStringList positional = parser.positionalArguments();
    for (const QString& input : positional) request.inputs.push_back(local(input));
    if (parser.isSet(options.outDir)) {
        request.outDir = local(parser.value(options.outDir));
        if (parser.isSet(options.filesFrom)) request.inputList = local(parser.value(options.filesFrom));
    } else {
        request.output = request.inputs.back();
        request.inputs.pop_back();
    }

    // The image formats' plugins are found through the application object;
    // a core one needs no display.
    QCoreApplication application(argc, argv);
    const QtImageCodec codec(kMaxBitmapPixels, threads);
    FileWriteOps writes;
    ParallelDeformOptions deform;
    deform.threads = threads;
    HeadlessServices services{codec, writes, deform, systemAvailableMemory, std::cerr, isatty(2) == 1};
    services.standardInput = &std::cin;
    return applyGridToFiles(request, services) == 0 ? 0 : 1;
}

int runWindow(int argc, char** argv, const QString& file)
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/plexor/plexor.png")));
    // The desktop entry the window belongs to, for the desktop's task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.plexor.Plexor"));
    try {
        ProgramWindows windows = createWindows();
        startProgram(windows, file);
        return QApplication::exec();
    } catch (const std::exception& error) {
        QtMessageBoxes(nullptr).showError(error.what());
        return 1;
    }
}

} // namespace

int runProgram(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("plexor"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Deforms a picture by hand through a grid of control points."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const Options options;
    parser.addOption(options.apply);
    parser.addOption(options.outDir);
    parser.addOption(options.filesFrom);
    parser.addOption(options.threads);
    parser.addOption(options.quality);
    parser.addOption(options.resample);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A picture to open at start: BMP, PNG, JPEG, TIFF, WebP, GIF, HEIC or AVIF. With "
                       "--apply, the pictures to deform and then, without --out-dir, the "
                       "file to write."),
        QStringLiteral("[file...]"));

    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QFile::decodeName(argv[i]);
    if (!parser.parse(arguments)) return usageError(parser, parser.errorText());
    if (parser.isSet(help)) {
        std::cout << helpText(parser);
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "plexor 0.1\n";
        return 0;
    }

    const qsizetype count = parser.positionalArguments().size();
    if (parser.isSet(options.apply)) {
        const bool listed = parser.isSet(options.filesFrom);
        if (listed && !parser.isSet(options.outDir))
            return usageError(parser, QStringLiteral("--files-from goes with --out-dir"));
        if (parser.isSet(options.outDir) ? count < 1 && !listed : count != 2)
            return usageError(parser, QStringLiteral("--apply takes a grid file, then either a picture and the file "
                                                     "to write, or --out-dir and the pictures"));
        unsigned threads = coreCount();
        if (parser.isSet(options.threads)) {
            bool number = false;
            threads = parser.value(options.threads).toUInt(&number);
            if (!number || threads < 1 || threads > kMaxThreads)
                return usageError(parser,
                                  QStringLiteral("--threads takes a whole number from 1 to %1").arg(kMaxThreads));
        }
        HeadlessApply request;
        if (parser.isSet(options.quality)) {
            bool number = false;
            request.quality = parser.value(options.quality).toInt(&number);
            if (!number || *request.quality < 1 || *request.quality > 100)
                return usageError(parser, QStringLiteral("--quality takes a whole number from 1 to 100"));
        }
        if (parser.isSet(options.resample)) {
            const QString way = parser.value(options.resample);
            if (way != QStringLiteral("exact") && way != QStringLiteral("smooth"))
                return usageError(parser, QStringLiteral("--resample takes exact or smooth"));
            request.resampling = way == QStringLiteral("smooth") ? Resampling::Smooth : Resampling::Exact;
        }
        return runApply(argc, argv, parser, options, threads, std::move(request));
    }
    for (const QCommandLineOption* option :
         {&options.outDir, &options.filesFrom, &options.threads, &options.quality, &options.resample})
        if (parser.isSet(*option))
            return usageError(parser, QStringLiteral("--%1 goes with --apply").arg(option->names().constFirst()));
    if (count > 1) return usageError(parser, QStringLiteral("the window opens one picture at a time"));
    return runWindow(argc, argv, parser.positionalArguments().value(0));
}

} // namespace plexor
