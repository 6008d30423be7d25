#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/dropped_files.h"
#include "app/grid_commands.h"
#include "app/history_commands.h"
#include "app/mouse_commands.h"
#include "app/picture_commands.h"
#include "app/selection_commands.h"
#include "app/shell_ports.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "editor/drag.h"
#include "editor/drag_host.h"
#include "engine/deform_model.h"

namespace plexor {

// The main window's commands, free of any toolkit: the window turns its
// events into calls on these parts and shows what they produce. This owner
// holds the one model, the worker and the parts, starts and shuts them
// down, and runs what concerns several parts at once.
class MainCommands final : private DragHost {
public:
    explicit MainCommands(ShellPorts ports);
    ~MainCommands() override;
    MainCommands(const MainCommands&) = delete;
    MainCommands& operator=(const MainCommands&) = delete;

    // Start-up: the model's defaults, the empty queue, the worker asleep.
    void start();
    // Shut-down: empties the queue, stops the worker (still running the
    // refreshes it asks for), then releases the model's buffers and tables.
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
    void showAbout();

    // UI thread: runs the refresh the worker waits for, if any.
    void serveWorkerCalls() { worker_.serveCalls(); }
    std::optional<std::string> progressText(std::chrono::steady_clock::time_point now)
    {
        return worker_.progressText(now);
    }

    DeformModel& model() noexcept { return model_; }
    PictureCommands& pictures() noexcept { return pictures_; }
    ViewCommands& view() noexcept { return view_; }
    HistoryCommands& history() noexcept { return history_; }
    GridCommands& grid() noexcept { return grid_; }
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

    // DragHost
    void refresh() override { view_.refresh(); }
    void queueCellsAround(std::int32_t c, std::int32_t r) override;
    void queueCells(std::span<const CellRef> cells) override;
    void captureMouse() override { ports_.window.captureMouse(); }
    void releaseMouseCapture() override { ports_.window.releaseMouseCapture(); }

    ShellPorts ports_;
    DeformModel model_;
    WorkerControl worker_;
    PictureCommands pictures_;
    ViewCommands view_;
    ControlPointDrag drag_;
    HistoryCommands history_;
    GridCommands grid_;
    MouseCommands mouse_;
    SelectionCommands selection_;
};

} // namespace plexor
