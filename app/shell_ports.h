#pragma once

#include <functional>

#include "app/error_display.h"
#include "app/file_dialogs.h"
#include "app/grid_dialog_port.h"
#include "app/message_sink.h"
#include "app/picture_view.h"
#include "app/window_frame.h"
#include "app/window_ports.h"

namespace plexor {

class ImageCodec;
class SettingsStore;

// Everything the commands need of the window around them. The Qt window
// provides these; tests provide their own. Everything here but callWaiting
// is used on the UI thread.
struct ShellPorts {
    MessageSink& messages; // message boxes captioned "Error"
    ErrorDisplay& errors;  // the application's error display
    FileDialogs& dialogs;
    WindowFrame& frame;
    PictureView& pictureView;
    GridDialogPort& gridDialog;
    WindowPorts& window;
    // Reads and writes the picture formats other than BMP.
    const ImageCodec& codec;
    SettingsStore& settings; // what is kept between runs
    // Called on the worker thread whenever it waits for the UI thread to run
    // a refresh: the window's event loop must then call serveWorkerCalls().
    std::function<void()> callWaiting;
};

} // namespace plexor
