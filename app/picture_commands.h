#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/error_display.h"
#include "app/file_dialogs.h"
#include "app/image_codec.h"
#include "app/memory_gauge.h"
#include "app/message_sink.h"
#include "app/picture_view.h"
#include "app/recent_pictures.h"
#include "app/remembered_dialog.h"
#include "app/shell_ports.h"
#include "app/window_frame.h"
#include "app/window_ports.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"
#include "platform/dib_transfer.h"
#include "platform/picture.h"

namespace plexor {

// Opening a picture, pushing the view to the screen bitmap, and saving the
// screen bitmap: the picture files of the main window, with the pictures
// opened and saved last, and the open and save dialogs starting in the
// folder of the last of them.
//
// The screen bitmap keeps the pixel format of a bitmap file it came from; a
// picture of another format is a 24-bit bitmap. Files of every format the
// codec takes are opened by their content and saved in the format the save
// dialog's entry or the typed extension names. The picture's buffers are
// 24-bit rows, top to bottom, described by bufferFormat: a picture's pixels
// are read into them in one transfer, and the parts of the view that a
// refresh changed are pushed into the screen bitmap.
class PictureCommands {
public:
    PictureCommands(PictureBuffers& buffers, ControlGrid& grid, CellWork& work, const MemoryGauge& memory,
                    const ShellPorts& ports);

    // File > Open...: asks for a file and opens it; whether it did.
    bool openPicture();
    // Opens `path` as the open command does once a name is chosen; returns
    // whether the picture now shown is that file's. A file that cannot be
    // read, or whose buffers cannot be had, changes nothing. The worker must
    // be idle and no drag under way.
    bool openFile(const std::string& path);
    // Opens `path` as if it had been chosen in the open dialog, which then
    // proposes it next time (a file named on the command line).
    bool openNamedFile(const std::string& path);
    // File > Open Recent: opens `path` as openNamedFile does; a file that no
    // longer exists leaves the list, with a message, and changes nothing else.
    bool openRecent(const std::string& path);
    // File > Open Recent > Clear list.
    void clearRecent() { recent_.clear(); }
    // Writes these parts of the view into the screen bitmap.
    void pushView(std::span<const PixelRect> parts);
    // File > Save as...: writes the screen bitmap to a file; whether it did.
    // The dialog proposes the name and format of the file opened last, or of
    // the last save since.
    bool savePictureAs();

    Bitmap& screenBitmap() { return picture_.bitmap(); }
    // The file the picture shown was opened from.
    const std::string& openedPath() const noexcept { return openedPath_; }
    const DibHeader& bufferFormat() const noexcept { return bufferFormat_; }
    // The formats the codec lets the program read, BMP first.
    const std::vector<PictureFormat>& readable() const noexcept { return readable_; }
    // The pictures opened or saved last, newest first.
    const std::vector<std::string>& recentFiles() const noexcept { return recent_.files(); }

private:
    // The save dialog's next proposal: `path` in `format`, its extension
    // made one of that format's; a format not written is proposed as PNG.
    void proposeSave(const std::string& path, PictureFormat format);
    // The request of `dialog` with its proposed name in the folder used last.
    FileDialogRequest inLastFolder(const RememberedDialog& dialog) const;

    PictureBuffers& buffers_;
    ControlGrid& grid_;
    CellWork& work_;
    const MemoryGauge& memory_;
    MessageSink& messages_;
    FileDialogs& dialogs_;
    WindowFrame& frame_;
    PictureView& pictureView_;
    ErrorDisplay& errors_;
    WindowPorts& window_;
    const ImageCodec& codec_;
    const std::vector<PictureFormat> readable_;
    const std::vector<PictureFormat> writable_;

    Picture picture_;
    std::string openedPath_;
    PictureMetadata metadata_; // what the file opened holds beside its pixels
    DibHeader bufferFormat_{};
    RememberedDialog openDialog_;
    RememberedDialog saveDialog_;
    RecentPictures recent_;
};

} // namespace plexor
