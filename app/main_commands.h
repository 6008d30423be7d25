#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/image_codec.h"
#include "app/picture_commands.h"
#include "app/shell_ports.h"
#include "editor/drag.h"
#include "editor/drag_host.h"
#include "editor/refresh_host.h"
#include "engine/deform_model.h"
#include "engine/my_thread.h"

namespace plexor {

// Everything the window needs from outside the commands themselves.
struct ShellPorts {
    MessageSink& Messages; // message boxes captioned "Error"
    ErrorDisplay& Errors;  // the application's error display
    FileDialogs& Dialogs;
    WindowFrame& Frame;
    ImageView& Image;
    GridDialogPort& GridDialog;
    WindowPorts& Window;
    // Reads and writes the picture formats other than BMP.
    const ImageCodec& Codec;
    // Called on the worker thread whenever it waits for the UI thread to run
    // a refresh: the window's event loop must then call ServeWorkerCalls().
    std::function<void()> CallWaiting;
};

// The main window's commands, start-up and shut-down, free of any toolkit:
// the window turns its events into these calls and shows what they produce.
// Owns the one model and the worker.
class MainCommands final : private RefreshHost, private DragHost {
public:
    explicit MainCommands(ShellPorts ports);
    ~MainCommands() override;
    MainCommands(const MainCommands&) = delete;
    MainCommands& operator=(const MainCommands&) = delete;

    // Start-up: the model's defaults, the empty queue, the worker asleep.
    void FormCreate();
    // Shut-down: empties the queue, stops the worker (still running the
    // refreshes it asks for), then releases the model's buffers and tables.
    void FormDestroy();

    void MIOpenClick();
    // Opens a file named on the command line, as File > Open would.
    bool OpenFile(const std::string& path);
    void MISaveAsClick();
    void MIShowClick();
    void MIAboutClick();
    void SBGridClick();
    void SBDefaultClick();
    // A character typed on the main window: G or g runs the grid command.
    void FormKeyPress(char32_t key);

    void ImageMouseDown(std::int32_t x, std::int32_t y);
    void ImageMouseMove(std::int32_t x, std::int32_t y);
    void ImageMouseUp(std::int32_t x, std::int32_t y);

    // UI thread: runs the refresh the worker waits for, if any.
    void ServeWorkerCalls();
    // Shows the view: copy, overlay, push, repaint.
    void Refresh() override;

    bool ShowChecked() const noexcept { return showChecked_; }
    DeformModel& Model() noexcept { return model_; }
    TBitmap& ScreenBitmap() { return pictures_.ScreenBitmap(); }
    PictureCommands& Pictures() noexcept { return pictures_; }
    const ControlPointDrag& Drag() const noexcept { return drag_; }
    bool WorkerRunning() const noexcept { return worker_ != nullptr; }
    // The worker, between FormCreate and FormDestroy.
    TMyThread& Worker() noexcept { return *worker_; }

    static const char* const kAboutText;

private:
    // RefreshHost
    bool OverlayVisible() const override { return showChecked_; }
    void PushView() override { pictures_.PushView(); }
    void RepaintImage() override { ports_.Image.Repaint(); }
    // DragHost
    void QueueCellsAround(std::int32_t c, std::int32_t r) override;
    void SetCapture() override { ports_.Window.SetCapture(); }
    void ReleaseCapture() override { ports_.Window.ReleaseCapture(); }

    ShellPorts ports_;
    DeformModel model_;
    PictureCommands pictures_;
    ControlPointDrag drag_;
    std::unique_ptr<TMyThread> worker_;
    bool showChecked_ = false;
};

} // namespace plexor
