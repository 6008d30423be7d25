#include "app/qt/startup.h"

#include <QFile>
#include <QTimer>

#include "app/qt/grid_dialog.h"

namespace plexor {

ProgramWindows CreateWindows(DialogServices services)
{
    ProgramWindows windows;
    windows.FMain = std::make_unique<TFMain>(std::move(services));
    windows.FGrid = new TFGrid(windows.FMain.get());
    windows.FMain->AttachGridDialog(*windows.FGrid);
    return windows;
}

void StartProgram(ProgramWindows& windows, const QString& file)
{
    TFMain* window = windows.FMain.get();
    window->show();
    // Once the window system has framed the window, its outer bounds can be
    // set as designed, and a picture fits the window to itself.
    QTimer::singleShot(0, window, [window, file] {
        window->PlaceAtDesignedBounds();
        if (!file.isEmpty()) window->OpenFile(QFile::encodeName(file).toStdString());
    });
}

} // namespace plexor
