#pragma once

#include <optional>
#include <string>

#include "app/error_display.h"
#include "app/file_dialogs.h"
#include "app/grid_dialog_port.h"
#include "app/history_commands.h"
#include "app/memory_gauge.h"
#include "app/message_sink.h"
#include "app/mouse_commands.h"
#include "app/remembered_dialog.h"
#include "app/view_commands.h"
#include "app/worker_control.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/grid_file.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The grid: laying a new one at the step the grid dialog asks for, putting
// its points back, and keeping it as a grid file and laying one again. Each
// is one edit; a drag under way ends first.
class GridCommands {
public:
    GridCommands(ControlGrid& grid, PictureBuffers& picture, CellWork& work, const MemoryGauge& memory,
                 const ShellPorts& ports, WorkerControl& worker, ViewCommands& view, HistoryCommands& history,
                 MouseCommands& mouse);

    // The grid command (the # button, the G key): asks for the step, then
    // restores the pass's starting picture and lays the grid with its
    // margins black and the overlay on. A step that is not a whole number of
    // at least 1, or whose tables do not fit in memory, is refused and
    // changes nothing.
    void layNewGrid();
    // Grid > New grid over the result...: once the worker has finished, the
    // picture as deformed (without the overlay) becomes the starting picture
    // of a new pass, and a grid is laid over it at the step asked for, as the
    // grid command lays one; the grid before becomes an earlier pass. From
    // then on the grid command and R act on this pass.
    void layGridOverResult();
    bool canLayGridOverResult() const noexcept { return picture_.hasPicture() && grid_.exists(); }
    // The R button: every point back at rest and the pass's starting picture
    // restored.
    void resetGrid();
    // File > Open grid...: lays a grid file over the picture as read, each of
    // its passes in turn, with Grid > Show on, as one edit; a file that does
    // not suit the picture is refused with the line at fault, and nothing
    // changes. File > Save grid...: writes the passes as a grid file. Every
    // grid laid clears the selection.
    void openGrid();
    void saveGrid();
    // Lays the grid file `path` as Open grid does once it is chosen (a file
    // dropped on the window); Open grid then proposes it.
    void openGridFile(const std::string& path);
    bool canOpenGrid() const noexcept { return picture_.hasPicture(); }
    bool canSaveGrid() const noexcept { return picture_.hasPicture() && grid_.exists(); }
    // Grid > Resampling: the deformation rendered exactly or smoothly, every
    // pass of it again, as one edit; the grid shown or not as it was.
    void setResampling(Resampling resampling);
    bool canSetResampling() const noexcept { return picture_.hasPicture() && grid_.exists(); }
    Resampling resampling() const noexcept { return grid_.resampling(); }
    // A picture was opened from `path`: its grid files are proposed beside it.
    void pictureOpened(const std::string& path);

private:
    // Asks for a step with the grid dialog; nothing, with the error shown,
    // when it is not a whole number of at least 1 or its tables do not fit.
    std::optional<std::int32_t> askStep();
    // Ends a drag under way and runs the open (save) dialog of grid files;
    // the file chosen, if any.
    std::optional<std::string> chooseGridFile(RememberedDialog& dialog, bool save);
    // Reads the grid file `path` and lays it as one edit; a file that does
    // not suit the picture is refused and changes nothing.
    void layGridFileAt(const std::string& path);
    // Lays the checked `file` as one edit of `kind` (GridFile or Resampling).
    void layFile(const GridFile& file, GridEditKind kind);
    // With the worker held: a grid of `step` laid anew and shown, no point
    // chosen.
    void layShownGrid(std::int32_t step);

    // Whether the picture as read is kept, or could be; the memory message
    // shown when not.
    bool keepOpened();

    ControlGrid& grid_;
    PictureBuffers& picture_;
    CellWork& work_;
    const MemoryGauge& memory_;
    MessageSink& messages_;
    ErrorDisplay& errors_;
    FileDialogs& dialogs_;
    GridDialogPort& gridDialog_;
    WorkerControl& worker_;
    ViewCommands& view_;
    HistoryCommands& history_;
    MouseCommands& mouse_;
    RememberedDialog openGridDialog_;
    RememberedDialog saveGridDialog_;
};

} // namespace plexor
