#include "app/qt/startup.h"

#include <QFile>
#include <QTimer>

#include "app/qt/grid_dialog.h"

namespace plexor {

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

} // namespace plexor
