#pragma once

#include <span>
#include <string>

#include "app/dropped_files.h"
#include "app/grid_commands.h"
#include "app/history_commands.h"
#include "app/live_frames.h"
#include "app/mouse_commands.h"
#include "app/picture_commands.h"
#include "app/view_commands.h"
#include "app/window_ports.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The picture as a document: opening one, saving it, what becomes of
// unsaved changes, and files dropped on the window. A picture opened starts
// a new history and is shown at the zoom that suits it; a drag under way and
// a live frame end first.
class DocumentCommands {
public:
    DocumentCommands(const PictureBuffers& buffers, PictureCommands& pictures, HistoryCommands& history,
                     MouseCommands& mouse, LiveFrames& live, ViewCommands& view, GridCommands& grid,
                     WindowPorts& window) noexcept
        : buffers_(buffers), pictures_(pictures), history_(history), mouse_(mouse), live_(live), view_(view),
          grid_(grid), window_(window)
    {}

    // File > Open...; openFile opens a file named on the command line as
    // File > Open would.
    void openPicture();
    bool openFile(const std::string& path);
    // File > Save as...: the picture once the worker has finished it, never a
    // live frame; whether it was written. A picture written is the saved one
    // from then on.
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
    // changes first, a grid file is laid as Open grid does; anything else
    // changes nothing.
    DropKind dropKind(std::span<const std::string> paths) const;
    void drop(std::span<const std::string> paths);

private:
    // Before a picture is opened: the drag and its frames end.
    void leaveThePicture();
    // After a picture is opened: a new history, and the zoom for it.
    void pictureOpened();

    const PictureBuffers& buffers_;
    PictureCommands& pictures_;
    HistoryCommands& history_;
    MouseCommands& mouse_;
    LiveFrames& live_;
    ViewCommands& view_;
    GridCommands& grid_;
    WindowPorts& window_;
};

} // namespace plexor
