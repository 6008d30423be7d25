#include "app/qt/startup.h"

#include <cstdio>
#include <iostream>

#include <QFile>
#include <QLoggingCategory>
#include <QTimer>

#include "app/qt/grid_dialog.h"
#include "app/qt/picture_library_call.h"

namespace plexor {
namespace {

// Qt's messages, as Qt would print them, but for those given while the
// picture libraries run.
void printMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (PictureLibraryCall::running()) return;
    std::cerr << qFormatLogMessage(type, context, message).toLocal8Bit().toStdString() << '\n';
}

} // namespace

ProgramWindows createWindows(DialogServices services)
{
    ProgramWindows windows;
    windows.mainWindow = std::make_unique<MainWindow>(std::move(services));
    windows.gridDialog = new GridDialog(windows.mainWindow.get());
    windows.mainWindow->attachGridDialog(*windows.gridDialog);
    return windows;
}

void startProgram(ProgramWindows& windows, const QString& file)
{
    MainWindow* window = windows.mainWindow.get();
    window->show();
    // Once the window system has framed the window, it can be moved to its
    // start geometry, frame included, and a picture fits the window to
    // itself.
    QTimer::singleShot(0, window, [window, file] {
        window->moveToStartGeometry();
        if (!file.isEmpty()) window->openFile(QFile::encodeName(file).toStdString());
    });
}

void quietPictureLibraries()
{
    // Qt's image plugins report what libpng and the others tell them under
    // these categories, and the reader of colour profiles under the last.
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.gui.imageio*=false\nqt.imageformats*=false\nqt.gui.icc*=false"));
    qInstallMessageHandler(printMessage);
    // libpng's errors, libtiff's warnings and the coders' chatter are
    // printed by the libraries themselves on the C library's standard
    // error stream, and nothing turns all of them off: that stream now
    // writes nowhere. std::cerr took the real one when the program started
    // and stays the program's own way to standard error, which Qt's
    // messages take too, through printMessage. The stream is never closed:
    // the libraries may write to it until the process ends.
    if (std::FILE* nowhere = std::fopen("/dev/null", "w")) stderr = nowhere;
}

} // namespace plexor
