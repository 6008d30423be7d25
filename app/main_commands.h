#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/dropped_files.h"
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

    // File > Open...: a picture opened starts a new history and is shown at
    // the zoom that suits it. openFile opens a file named on the command
    // line as File > Open would.
    void openPicture();
    bool openFile(const std::string& path);
    // File > Save as...: the picture once the worker has finished it; whether
    // it was written. A picture written is the saved one from then on.
    bool savePictureAs();

    // Whether the picture differs from the one last opened or saved, and the
    // name of its file ("" before any).
    bool modified() const { return history_.modified(); }
    std::string documentName() const;
    // Before unsaved changes would go (quit, close, open): asks whether to
    // save them. True when the caller may go on: nothing was unsaved, the
    // changes were discarded, or the picture was written.
    bool askAboutUnsavedChanges();
    // File > Open Recent: asks about unsaved changes, then opens a picture
    // opened or saved before as openFile does; one that no longer exists
    // leaves the list.
    bool openRecent(const std::string& path);
    // Files dragged over the window: what dropping them would do, and
    // dropping them: a picture opens as Open does, asking about unsaved
    // changes first, a grid file is laid
    // as Open grid does; anything else changes nothing.
    DropKind dropKind(std::span<const std::string> paths) const;
    void drop(std::span<const std::string> paths);
    // A character typed on the main window: G or g runs the grid command.
    void keyTyped(char32_t key);
    // Edit > Undo ends a drag under way first, as a release ends it; Redo
    // does nothing while one is.
    void undo();
    void redo() { history_.redo(); }
    // View > Live Preview: on, the picture follows a drag as its release
    // would leave it; off, only the overlay does.
    bool livePreview() const noexcept { return live_.enabled(); }
    void setLivePreview(bool on);
    std::uint64_t liveFramesShown() const noexcept { return live_.framesShown(); }
    void showAbout();

    // UI thread: runs the refresh the worker waits for, if any.
    void serveWorkerCalls() { worker_.serveCalls(); }
    std::optional<std::string> progressText(std::chrono::steady_clock::time_point now)
    {
        return worker_.progressText(now);
    }

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
    const ControlPointDrag& drag() const noexcept { return drag_; }
    bool workerRunning() const noexcept { return worker_.running(); }
    // The worker, between start and shutDown.
    CellWorker& worker() noexcept { return worker_.worker(); }

    static const char* const kAboutText;

private:
    // After a picture is opened: a new history, and the zoom for it.
    void pictureOpened();

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
};

} // namespace plexor
