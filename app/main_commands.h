#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/edit_history.h"
#include "app/image_codec.h"
#include "app/picture_commands.h"
#include "app/remembered_dialog.h"
#include "app/shell_ports.h"
#include "editor/drag.h"
#include "editor/drag_host.h"
#include "editor/reduced_view.h"
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
    // File > Open grid...: lays a grid file over the picture, with Grid >
    // Show on, as one edit; a file that does not suit the picture is refused
    // with the line at fault, and nothing changes. File > Save grid...:
    // writes the grid as a grid file.
    void MIOpenGridClick();
    void MISaveGridClick();
    bool CanOpenGrid() const noexcept { return model_.ImageLoaded; }
    bool CanSaveGrid() const noexcept { return model_.ImageLoaded && model_.GridExists(); }
    void MIShowClick();
    void MIAboutClick();
    void SBGridClick();
    void SBDefaultClick();
    // A character typed on the main window: G or g runs the grid command.
    void FormKeyPress(char32_t key);

    // The mouse on the picture, at screen positions of the picture as shown.
    void ImageMouseDown(std::int32_t x, std::int32_t y);
    void ImageMouseMove(std::int32_t x, std::int32_t y);
    void ImageMouseUp(std::int32_t x, std::int32_t y);

    // Edit menu: takes the latest edit back, or does again the latest one
    // taken back; a drag under way ends first, as a release ends it. Both
    // wait for the worker to finish the cells of the edits before, and leave
    // WorkImage, the points and the view exactly as they were before (after)
    // the edit.
    void MIUndoClick();
    void MIRedoClick();
    // The items' texts while each can be chosen ("Undo Drag", "Redo Grid").
    std::optional<std::string> UndoText() const;
    std::optional<std::string> RedoText() const;
    const EditHistory& History() const noexcept { return history_; }

    // View menu: a step up or down the zoom ladder about the viewport's
    // middle; the zoom at which the whole picture fits the viewport; full
    // size.
    void MIZoomInClick();
    void MIZoomOutClick();
    void MIFitClick();
    void MIActualSizeClick();
    // The wheel turned `steps` notches away from the user (negative: towards)
    // with Ctrl held and the pointer at (x, y) of the viewport: a ladder step
    // per notch, about the pointer.
    void WheelZoom(int steps, std::int32_t x, std::int32_t y);
    // The scroll box scrolled or changed its size: a reduced view follows.
    void ViewportChanged();

    // UI thread: runs the refresh the worker waits for, if any.
    void ServeWorkerCalls();
    // Shows what has changed since the last refresh.
    void Refresh() override;
    // What the status bar says of the worker: how many cells are left while
    // it has had cells waiting for more than half a second; nothing else.
    std::optional<std::string> ProgressText(std::chrono::steady_clock::time_point now);

    bool ShowChecked() const noexcept { return showChecked_; }
    DeformModel& Model() noexcept { return model_; }
    TBitmap& ScreenBitmap() { return pictures_.ScreenBitmap(); }
    PictureCommands& Pictures() noexcept { return pictures_; }
    const ControlPointDrag& Drag() const noexcept { return drag_; }
    bool WorkerRunning() const noexcept { return worker_ != nullptr; }
    // The worker, between FormCreate and FormDestroy.
    TMyThread& Worker() noexcept { return *worker_; }
    Zoom CurrentZoom() const noexcept { return zoom_; }
    // The reduced view the screen shows while the zoom reduces the picture.
    const ReducedView* ReducedShown() const noexcept { return zoom_.Reduces() ? &reduced_ : nullptr; }

    static const char* const kAboutText;

private:
    // UI thread: plays the event loop's part for the worker until it sleeps
    // with nothing to do.
    void WaitForWorker();
    // An edit begins: the edits before it have finished, and the one under
    // way is recorded. What was undone stays to be redone until an edit that
    // changes something is recorded.
    void BeginEdit();
    // Records the edit under way, whose cells have all been deformed.
    void CloseEdit();
    // A drag has picked its point: its edit is under way.
    void StartDragEdit();
    // Keeps WorkImage from before the drag where the cells around point
    // (c, r), about to be queued, may write. The worker is held.
    void KeepBeforeCellsAround(std::int32_t c, std::int32_t r);
    // An edit that lays the grid anew or resets it, done at once: the grid
    // and the whole picture before, then the grid after. Nothing when the
    // memory cannot be had; the history is then forgotten.
    std::optional<EditStep> StartWholeEdit(const char* name);
    void FinishWholeEdit(std::optional<EditStep> edit);
    // After a picture is opened: a new history, and the zoom for it.
    void PictureOpened();
    // Undoes (redoes) the latest edit once the edits before have finished.
    void StepHistory(bool undo);
    // Lays `step`'s grid and pixels of before or after, and shows them.
    void Restore(const EditStep& step, bool before);
    // Ends a drag under way and runs the open (save) dialog of grid files;
    // the file chosen, if any.
    std::optional<std::string> ChooseGridFile(RememberedDialog& dialog, bool save);
    // Queues the cells of every displaced point as one batch, in the grid
    // file's canonical order. The worker is held.
    void QueueDisplacedCells();
    // The memory the history may hold now.
    std::size_t HistoryBudget() const;

    // Shows the picture at `zoom`, keeping the screen position `anchorX`,
    // `anchorY` of the viewport on the same picture pixel.
    void SetZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY);
    // The reduced view's window follows the viewport, and its pixels are
    // made anew.
    void RenderReduced();
    // After a picture is opened: fitted when it is larger than the
    // viewport, at full size otherwise.
    void ZoomForNewPicture();

    // RefreshHost
    bool OverlayVisible() const override { return showChecked_; }
    void PushView(std::span<const PixelRect> parts) override { pictures_.PushView(parts); }
    void RepaintImage(std::span<const PixelRect> parts) override;
    ReducedView* Reduced() override { return zoom_.Reduces() ? &reduced_ : nullptr; }
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
    Zoom zoom_;
    ReducedView reduced_;
    EditHistory history_;
    RememberedDialog openGridDialog_;
    RememberedDialog saveGridDialog_;
    // The edit under way whose cells the worker may still deform: a drag,
    // with every point's displacement from before it.
    std::optional<EditStep> open_;
    GridSnapshot openGrid_;
    std::optional<std::chrono::steady_clock::time_point> busySince_;
};

} // namespace plexor
