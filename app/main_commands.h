#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/document_commands.h"
#include "app/grid_commands.h"
#include "app/history_commands.h"
#include "app/live_frames.h"
#include "app/memory_gauge.h"
#include "app/mouse_commands.h"
#include "app/picture_commands.h"
#include "app/selection_commands.h"
#include "app/shell_ports.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The main window's commands, free of any toolkit: the window turns its
// events into calls on these parts and shows what they produce. This owner
// holds the picture's buffers, the control grid and the cell work (the one
// model of the program), the worker and the parts, starts and shuts them
// down, and runs what concerns several parts at once.
class MainCommands final {
public:
    explicit MainCommands(ShellPorts ports);
    ~MainCommands();
    MainCommands(const MainCommands&) = delete;
    MainCommands& operator=(const MainCommands&) = delete;

    // Start-up: the worker asleep beside the empty queue.
    void start();
    // Shut-down: empties the queue, stops the worker (still running the
    // refreshes it asks for), then releases the buffers, the grid and its
    // tables.
    void shutDown();

    // A character typed on the main window: G or g runs the grid command.
    void keyTyped(char32_t key);
    // Edit > Undo ends a drag under way first, as a release ends it (Redo,
    // history().redo(), does nothing while one is).
    void undo();
    // View > Live Preview: on, the picture follows a drag as its release
    // would leave it; off, only the overlay does.
    void setLivePreview(bool on);
    void showAbout();

    PictureBuffers& buffers() noexcept { return buffers_; }
    ControlGrid& controlGrid() noexcept { return grid_; }
    CellWork& cellWork() noexcept { return work_; }
    // Where the commands learn how much memory the program can still obtain.
    MemoryGauge& memory() noexcept { return memory_; }
    PictureCommands& pictures() noexcept { return pictures_; }
    ViewCommands& view() noexcept { return view_; }
    HistoryCommands& history() noexcept { return history_; }
    GridCommands& grid() noexcept { return gridCommands_; }
    MouseCommands& mouse() noexcept { return mouse_; }
    SelectionCommands& selection() noexcept { return selection_; }
    const LiveFrames& live() const noexcept { return live_; }
    DocumentCommands& document() noexcept { return document_; }
    // The worker as the commands use it, and the worker itself between start
    // and shutDown.
    WorkerControl& workerControl() noexcept { return worker_; }
    CellWorker& worker() noexcept { return worker_.worker(); }

    static const char* const kAboutText;

private:
    ShellPorts ports_;
    MemoryGauge memory_;
    PictureBuffers buffers_;
    ControlGrid grid_;
    CellWork work_;
    WorkerControl worker_;
    PictureCommands pictures_;
    ViewCommands view_;
    LiveFrames live_;
    ControlPointDrag drag_;
    HistoryCommands history_;
    MouseCommands mouse_;
    GridCommands gridCommands_;
    SelectionCommands selection_;
    DocumentCommands document_;
};

} // namespace plexor
