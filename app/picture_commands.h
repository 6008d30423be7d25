#pragma once

#include <span>
#include <string>

#include "app/remembered_dialog.h"
#include "app/shell_ports.h"
#include "engine/deform_model.h"
#include "platform/dib_transfer.h"
#include "platform/picture.h"

namespace plexor {

// Opening a picture, pushing the view to the screen bitmap, and saving the
// screen bitmap: the picture files of the main window.
//
// The screen bitmap keeps the pixel format of the file it came from; the
// model's buffers are 24-bit rows, top to bottom, exchanged with it in one
// transfer each way, described by BufferFormat.
class PictureCommands {
public:
    PictureCommands(DeformModel& model, FileDialogs& dialogs, WindowFrame& frame, ImageView& image,
                    ErrorDisplay& errors);

    // File > Open...: asks for a file and opens it; whether it did.
    bool MIOpenClick();
    // Opens `path` as the open command does once a name is chosen; returns
    // whether the picture now shown is that file's. A file that cannot be
    // read, or whose buffers cannot be had, changes nothing.
    bool OpenFile(const std::string& path);
    // Opens `path` as if it had been chosen in the open dialog, which then
    // proposes it next time (a file named on the command line).
    bool OpenNamedFile(const std::string& path);
    // Writes these parts of ViewImage into the screen bitmap.
    void PushView(std::span<const PixelRect> parts);
    // File > Save as...: writes the screen bitmap to a BMP file.
    void MISaveAsClick();

    TBitmap& ScreenBitmap() { return picture_.Bitmap(); }
    const BitmapInfo& BufferFormat() const noexcept { return bufferFormat_; }

private:
    DeformModel& model_;
    FileDialogs& dialogs_;
    WindowFrame& frame_;
    ImageView& image_;
    ErrorDisplay& errors_;

    TPicture picture_;
    BitmapInfo bufferFormat_{};
    RememberedDialog openDialog_{"Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*", "matrix.bmp", "bmp"};
    RememberedDialog saveDialog_{"Bitmap file (*.BMP)|*.bmp", "", "bmp"};
};

} // namespace plexor
