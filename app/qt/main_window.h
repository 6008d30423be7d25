#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <QMainWindow>

#include "app/main_commands.h"
#include "app/qt/message_boxes.h"
#include "app/qt/qt_image_codec.h"
#include "app/qt/window_frame.h"
#include "app/qt/worker_call_notifier.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

namespace plexor {

class PictureControl;

// The dialogs and boxes the main window shows; whatever is left empty gets
// Qt's own.
struct DialogServices {
    std::unique_ptr<FileDialogs> Files;
    std::unique_ptr<MessageBoxes> Boxes;
};

// The main window `FMain`. It turns menu, button, key and mouse events into
// the calls of MainCommands and shows what they produce; the commands own
// the model and the worker. Creating the window runs FormCreate; closing it
// runs FormDestroy, after which no command runs any more.
class TFMain final : public QMainWindow, private WindowPorts, private GridDialogPort {
    Q_OBJECT
public:
    explicit TFMain(DialogServices services = {});
    ~TFMain() override;

    // The grid dialog, created after this window; it must outlive it.
    void AttachGridDialog(GridDialogPort& dialog) noexcept { gridDialog_ = &dialog; }
    // Opens a picture named on the command line as File > Open does with
    // the chosen name.
    void OpenFile(const std::string& path);
    // Gives the window its designed outer bounds; once it is shown, the
    // window system's frame is known and counted.
    void PlaceAtDesignedBounds();

    MainCommands& Commands() noexcept { return *commands_; }
    bool ShutDown() const noexcept { return shutDown_; }
    // How often the worker has asked for the UI thread, for checks.
    int WorkerCallsPosted() const noexcept { return workerCallsPosted_.load(); }

    // Components, owned as children of the window.
    QFrame* PLeft = nullptr;
    QToolButton* SBGrid = nullptr;
    QToolButton* SBDefault = nullptr;
    QLabel* Image1 = nullptr;
    QScrollArea* SB = nullptr;
    PictureControl* Image = nullptr;
    QMenu* MIFile = nullptr;
    QAction* MIOpen = nullptr;
    QAction* MISaveAs = nullptr;
    QAction* MIOpenGrid = nullptr;
    QAction* MISaveGrid = nullptr;
    QAction* N1 = nullptr;
    QAction* MIExit = nullptr;
    QMenu* MIEdit = nullptr;
    QAction* MIUndo = nullptr;
    QAction* MIRedo = nullptr;
    QMenu* Grid1 = nullptr;
    QAction* MIShow = nullptr;
    QMenu* MIView = nullptr;
    QAction* MIZoomIn = nullptr;
    QAction* MIZoomOut = nullptr;
    QAction* MIFit = nullptr;
    QAction* MIActualSize = nullptr;
    QLabel* ZoomLabel = nullptr;     // the zoom, in the status bar
    QLabel* ProgressLabel = nullptr; // the worker's cells left, in the status bar
    QMenu* MIHelp = nullptr;
    QAction* MIAbout = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The wheel over the scroll box: Ctrl zooms about the pointer, Shift
    // scrolls across, alone it scrolls down and up. A resized viewport
    // brings a reduced view up to date.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void CreateMenu();
    void CreateStatusBar();
    // The Edit menu's items: enabled, and naming the edit, when there is one
    // to undo or redo; the grid file items, enabled when there is a picture
    // (and a grid to save).
    void UpdateMenus();
    // Shows how many cells the worker has left, when it has been busy long.
    void ShowProgress();
    // Runs a command: an error it raises is shown by the error display, and
    // the program goes on. Nothing runs once the window has shut down.
    template <class Command>
    void Run(Command&& command);
    // Worker thread: has the event loop serve the worker's waiting call.
    void PostWorkerCall() noexcept;
    void FormDestroy();

    // WindowPorts
    void SetShowChecked(bool checked) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void ShowInformation(const std::string& text) override;
    void ShowZoom(const std::string& text) override;

    // GridDialogPort: hands the calls on to the grid dialog.
    void SetEditText(const std::string& text) override;
    void ShowModal() override;
    std::string EditText() const override;

    DialogServices services_;
    QtImageCodec codec_;
    std::unique_ptr<MainWindowFrame> frame_;
    GridDialogPort* gridDialog_ = nullptr;
    std::string pendingEditText_;
    std::atomic<int> workerCallsPosted_{0};
    // Outlives the commands, whose worker may post to it until it ends.
    std::unique_ptr<WorkerCallNotifier> workerCalls_;
    int wheelTurn_ = 0;
    bool shutDown_ = false;
    // Last: goes first, while everything it points at still exists.
    std::unique_ptr<MainCommands> commands_;
};

} // namespace plexor
