#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/main_commands.h"
#include "app/qt/main_window_frame.h"
#include "app/qt/message_boxes.h"
#include "app/qt/qt_image_codec.h"
#include "app/qt/worker_call_notifier.h"
#include "app/recent_pictures.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

namespace plexor {

class QtPictureView;

// The dialogs and boxes the main window shows, and where it keeps what it
// remembers between runs; whatever is left empty gets Qt's own.
struct DialogServices {
    std::unique_ptr<FileDialogs> files;
    std::unique_ptr<MessageBoxes> boxes;
    std::unique_ptr<SettingsStore> settings;
};

// The main window, titled "Plexor machine". It turns menu, button, key,
// mouse and drop events into calls on the commands and shows what they
// produce; the commands own the model and the worker. Creating the window
// starts them; closing it shuts them down, after which no command runs any
// more. Its widgets and menu items are its own; each has an object name,
// the name of its member without the underscore, by which tests find it.
class MainWindow final : public QMainWindow, private WindowPorts, private GridDialogPort {
    Q_OBJECT
public:
    explicit MainWindow(DialogServices services = {});
    ~MainWindow() override;

    // The grid dialog, created after this window as its child: Qt deletes
    // it with the window, after the commands that show it are gone. Until
    // it is attached, the grid command shows nothing and reads back the
    // text it set.
    void attachGridDialog(GridDialogPort& dialog) noexcept { gridDialog_ = &dialog; }
    // Opens a picture named on the command line as File > Open does with
    // the chosen name.
    void openFile(const std::string& path);
    // Gives the window the outer geometry it starts with; once it is shown,
    // the window system's frame is known and counted.
    void moveToStartGeometry();

    MainCommands& commands() noexcept { return *commands_; }
    bool hasShutDown() const noexcept { return shutDown_; }
    // How often the worker has asked for the UI thread, for checks.
    int workerCallsPosted() const noexcept { return workerCallsPosted_.load(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files dragged over the window: accepted only where dropping them
    // would open a picture or lay a grid file, which the drop then does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The wheel over the scroll box: Ctrl zooms about the pointer, Shift
    // scrolls across, alone it scrolls down and up. A resized viewport
    // brings a reduced view up to date. The arrow keys nudge the points
    // chosen before the scroll box scrolls with them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void createMenu();
    void createRecentMenu();
    void createStatusBar();
    // The one place that sets which menu items are enabled and checked,
    // after every command: Undo and Redo, enabled and naming the edit when
    // there is one; Select all and Select none, when there are points to
    // choose or chosen; the grid file items and Grid over result, when there
    // is a picture (and a grid to save or lay over); Grid > Show, checked
    // while the overlay is shown; File > Open Recent.
    void updateActions();
    // The title, with the file's name and a mark of unsaved changes.
    void updateTitle();
    // File > Open Recent: an item for each recent picture, newest first.
    void updateRecentMenu();
    // Shows how many cells the worker has left, when it has been busy long.
    void showProgress();
    // Runs a command: an error it raises is shown by the error display, and
    // the program goes on. Nothing runs once the window has shut down.
    void run(const std::function<void()>& command);
    // An arrow key, with Shift or none, while points are chosen: nudges them;
    // whether it did. Without a choice the key goes where it went before.
    bool nudgeKey(const QKeyEvent& key);
    // Worker thread: has the event loop serve the worker's waiting call.
    void postWorkerCall() noexcept;
    void shutDown();

    // WindowPorts
    void captureMouse() override;
    void releaseMouseCapture() override;
    void showInformation(const std::string& text) override;
    SaveChoice askToSaveChanges(const std::string& name) override;
    void showNote(const std::string& text) override;
    void showZoom(const std::string& text) override;
    void showPointReadout(const std::string& text) override;

    // GridDialogPort: hands the calls on to the grid dialog.
    void setEditText(const std::string& text) override;
    void showModal() override;
    std::string editText() const override;

    // The widgets and menu items, owned through Qt's parents.
    QFrame* toolPanel_ = nullptr;
    QToolButton* gridButton_ = nullptr;
    QToolButton* resetButton_ = nullptr;
    QLabel* panelPicture_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QtPictureView* pictureView_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QMenu* openRecentMenu_ = nullptr;
    // One item for each place of the recent pictures, hidden while empty:
    // recentFileAction1 to recentFileAction10.
    std::array<QAction*, RecentPictures::kMaxFiles> recentFileActions_{};
    QAction* clearRecentAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* openGridAction_ = nullptr;
    QAction* saveGridAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* selectNoneAction_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    QAction* showGridAction_ = nullptr;
    QAction* gridOverResultAction_ = nullptr;
    QMenu* resamplingMenu_ = nullptr;
    QAction* exactAction_ = nullptr;
    QAction* smoothAction_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QAction* zoomInAction_ = nullptr;
    QAction* zoomOutAction_ = nullptr;
    QAction* fitAction_ = nullptr;
    QAction* actualSizeAction_ = nullptr;
    QAction* livePreviewAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QLabel* zoomLabel_ = nullptr;     // the zoom, in the status bar
    QLabel* progressLabel_ = nullptr; // the worker's cells left, in the status bar
    QLabel* pointLabel_ = nullptr;    // the point under the pointer, in the status bar

    DialogServices services_;
    QtImageCodec codec_;
    std::unique_ptr<MainWindowFrame> frame_;
    GridDialogPort* gridDialog_ = nullptr;
    std::string pendingEditText_;
    std::atomic<int> workerCallsPosted_{0};
    // Outlives the commands, whose worker may post to it until it ends.
    std::unique_ptr<WorkerCallNotifier> workerCalls_;
    std::vector<std::string> shownRecent_;
    int wheelTurn_ = 0;
    bool shutDown_ = false;
    // Last: goes first, while everything it points at still exists.
    std::unique_ptr<MainCommands> commands_;
};

} // namespace plexor
