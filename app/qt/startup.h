#pragma once

#include <memory>

#include <QString>

#include "app/qt/main_window.h"

namespace plexor {

class TFGrid;

// The program's two windows, created in start-up order: the main window,
// whose creation sets up the model and the sleeping worker, then the grid
// dialog, hidden.
struct ProgramWindows {
    std::unique_ptr<TFMain> FMain;
    TFGrid* FGrid = nullptr; // a child of FMain
};

ProgramWindows CreateWindows(DialogServices services = {});

// Shows the main window at its designed place and, once the event loop
// runs, opens `file` when one is named.
void StartProgram(ProgramWindows& windows, const QString& file);

} // namespace plexor
