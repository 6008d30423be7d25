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
    MessageSink& messages; // message boxes captioned "Error"
    ErrorDisplay& errors;  // the application's error display
    FileDialogs& dialogs;
    WindowFrame& frame;
    ImageView& image;
    GridDialogPort& gridDialog;
    WindowPorts& window;
    // Reads and writes the picture formats other than BMP.
    const ImageCodec& codec;
    // Called on the worker thread whenever it waits for the UI thread to run
    // a refresh: the window's event loop must then call serveWorkerCalls().
    std::function<void()> callWaiting;
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
    void start();
    // Shut-down: empties the queue, stops the worker (still running the
    // refreshes it asks for), then releases the model's buffers and tables.
    void shutDown();

    void openPicture();
    // Opens a file named on the command line, as File > Open would.
    bool openFile(const std::string& path);
    void savePictureAs();
    // File > Open grid...: lays a grid file over the picture, with Grid >
    // Show on, as one edit; a file that does not suit the picture is refused
    // with the line at fault, and nothing changes. File > Save grid...:
    // writes the grid as a grid file.
    void openGrid();
    void saveGrid();
    bool canOpenGrid() const noexcept { return model_.imageLoaded; }
    bool canSaveGrid() const noexcept { return model_.imageLoaded && model_.gridExists(); }
    void toggleGridShown();
    void showAbout();
    void layNewGrid();
    void resetGrid();
    // A character typed on the main window: G or g runs the grid command.
    void keyTyped(char32_t key);

    // The mouse on the picture, at screen positions of the picture as shown.
    void mousePress(std::int32_t x, std::int32_t y);
    void mouseMove(std::int32_t x, std::int32_t y);
    void mouseRelease(std::int32_t x, std::int32_t y);

    // Edit menu: takes the latest edit back, or does again the latest one
    // taken back; a drag under way ends first, as a release ends it. Both
    // wait for the worker to finish the cells of the edits before, and leave
    // workImage, the points and the view exactly as they were before (after)
    // the edit.
    void undo();
    void redo();
    // The items' texts while each can be chosen ("Undo Drag", "Redo Grid").
    std::optional<std::string> undoText() const;
    std::optional<std::string> redoText() const;
    const EditHistory& history() const noexcept { return history_; }

    // View menu: a step up or down the zoom ladder about the viewport's
    // middle; the zoom at which the whole picture fits the viewport; full
    // size.
    void zoomIn();
    void zoomOut();
    void fitToWindow();
    void showActualSize();
    // The wheel turned `steps` notches away from the user (negative: towards)
    // with Ctrl held and the pointer at (x, y) of the viewport: a ladder step
    // per notch, about the pointer.
    void wheelZoom(int steps, std::int32_t x, std::int32_t y);
    // The scroll box scrolled or changed its size: a reduced view follows.
    void viewportChanged();

    // UI thread: runs the refresh the worker waits for, if any.
    void serveWorkerCalls();
    // Shows what has changed since the last refresh.
    void refresh() override;
    // What the status bar says of the worker: how many cells are left while
    // it has had cells waiting for more than half a second; nothing else.
    std::optional<std::string> progressText(std::chrono::steady_clock::time_point now);

    bool showChecked() const noexcept { return showChecked_; }
    DeformModel& model() noexcept { return model_; }
    Bitmap& screenBitmap() { return pictures_.screenBitmap(); }
    PictureCommands& pictures() noexcept { return pictures_; }
    const ControlPointDrag& drag() const noexcept { return drag_; }
    bool workerRunning() const noexcept { return worker_ != nullptr; }
    // The worker, between start and shutDown.
    CellWorker& worker() noexcept { return *worker_; }
    Zoom currentZoom() const noexcept { return zoom_; }
    // The reduced view the screen shows while the zoom reduces the picture.
    const ReducedView* reducedShown() const noexcept { return zoom_.reduces() ? &reduced_ : nullptr; }

    static const char* const kAboutText;

private:
    // UI thread: plays the event loop's part for the worker until it sleeps
    // with nothing to do.
    void waitForWorker();
    // An edit begins: the edits before it have finished, and the one under
    // way is recorded. What was undone stays to be redone until an edit that
    // changes something is recorded.
    void beginEdit();
    // Records the edit under way, whose cells have all been deformed.
    void closeEdit();
    // A drag has picked its point: its edit is under way.
    void startDragEdit();
    // Keeps workImage from before the drag where the cells around point
    // (c, r), about to be queued, may write. The worker is held.
    void keepBeforeCellsAround(std::int32_t c, std::int32_t r);
    // An edit that lays the grid anew or resets it, done at once: the grid
    // and the whole picture before, then the grid after. Nothing when the
    // memory cannot be had; the history is then forgotten.
    std::optional<EditStep> startWholeEdit(const char* name);
    void finishWholeEdit(std::optional<EditStep> edit);
    // After a picture is opened: a new history, and the zoom for it.
    void pictureOpened();
    // Undoes (redoes) the latest edit once the edits before have finished.
    void stepHistory(bool undo);
    // Lays `step`'s grid and pixels of before or after, and shows them.
    void restore(const EditStep& step, bool before);
    // Ends a drag under way and runs the open (save) dialog of grid files;
    // the file chosen, if any.
    std::optional<std::string> chooseGridFile(RememberedDialog& dialog, bool save);
    // Queues the cells of every displaced point as one batch, in the grid
    // file's canonical order. The worker is held.
    void queueDisplacedCells();
    // The memory the history may hold now.
    std::size_t historyBudget() const;

    // Shows the picture at `zoom`, keeping the screen position `anchorX`,
    // `anchorY` of the viewport on the same picture pixel.
    void setZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY);
    // The reduced view's window follows the viewport, and its pixels are
    // made anew.
    void renderReduced();
    // After a picture is opened: fitted when it is larger than the
    // viewport, at full size otherwise.
    void zoomForNewPicture();

    // RefreshHost
    bool overlayVisible() const override { return showChecked_; }
    void pushView(std::span<const PixelRect> parts) override { pictures_.pushView(parts); }
    void repaintImage(std::span<const PixelRect> parts) override;
    ReducedView* reduced() override { return zoom_.reduces() ? &reduced_ : nullptr; }
    // DragHost
    void queueCellsAround(std::int32_t c, std::int32_t r) override;
    void captureMouse() override { ports_.window.captureMouse(); }
    void releaseMouseCapture() override { ports_.window.releaseMouseCapture(); }

    ShellPorts ports_;
    DeformModel model_;
    PictureCommands pictures_;
    ControlPointDrag drag_;
    std::unique_ptr<CellWorker> worker_;
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
