#pragma once

#include <memory>

#include <QString>

#include "app/qt/main_window.h"

namespace plexor {

class GridDialog;

// The program's two windows, created in start-up order: the main window,
// whose creation sets up the model and the sleeping worker, then the grid
// dialog, hidden.
struct ProgramWindows {
    std::unique_ptr<MainWindow> mainWindow;
    GridDialog* gridDialog = nullptr; // a child of mainWindow
};

ProgramWindows createWindows(DialogServices services = {});

// Shows the main window at its start geometry and, once the event loop
// runs, opens `file` when one is named.
void startProgram(ProgramWindows& windows, const QString& file);

// Keeps what the picture libraries say of their own off standard error, so
// that it holds only the program's lines, in the window and without one.
// Once, first thing at start-up, before any other thread runs.
void quietPictureLibraries();

} // namespace plexor
