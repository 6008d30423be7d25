// plexor: deforms a picture by hand through a grid of control points.

#include <exception>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "app/qt/message_boxes.h"
#include "app/qt/startup.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plexor"));
    QApplication::setApplicationVersion(QStringLiteral("0.1"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/plexor/plexor.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Deforms a picture by hand through a grid of control points."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A picture to open at start: BMP, PNG, JPEG, TIFF, WebP or GIF."),
                                 QStringLiteral("[file]"));
    parser.process(application);

    try {
        plexor::ProgramWindows windows = plexor::CreateWindows();
        plexor::StartProgram(windows, parser.positionalArguments().value(0));
        return QApplication::exec();
    } catch (const std::exception& error) {
        plexor::QtMessageBoxes(nullptr).ShowError(error.what());
        return 1;
    }
}
