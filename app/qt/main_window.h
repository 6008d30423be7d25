#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/main_commands.h"
#include "app/qt/dialog_services.h"
#include "app/qt/main_window_frame.h"
#include "app/qt/qt_image_codec.h"
#include "app/qt/qt_picture_view.h"
#include "app/qt/worker_call_notifier.h"
#include "app/recent_pictures.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

namespace plexor {

// The main window, titled "Plexor machine": turns menu, button, key, mouse
// and drop events into calls on the commands, which it starts and, once
// closed, shuts down, and shows what they produce. Each of its widgets has
// the name of its member without the underscore as its object name.
class MainWindow final : public QMainWindow, private WindowPorts, private GridDialogPort {
    Q_OBJECT
public:
    explicit MainWindow(DialogServices services = {});
    ~MainWindow() override;

    // The grid dialog, the window's child, deleted after the commands that
    // show it; until then the grid command shows nothing.
    void attachGridDialog(GridDialogPort& dialog) noexcept { gridDialog_ = &dialog; }
    // A picture named on the command line, opened as File > Open does.
    void openFile(const std::string& path);
    // The outer geometry the window starts with, its frame counted.
    void moveToStartGeometry();

    MainCommands& commands() noexcept { return *commands_; }
    bool hasShutDown() const noexcept { return shutDown_; }
    // How often the worker has asked for the UI thread, for checks.
    int workerCallsPosted() const noexcept { return workerCallsPosted_.load(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files dragged over the window: taken where they open or lay something.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The wheel over the scroll box zooms (Ctrl) or scrolls; a resized
    // viewport brings a reduced view up to date; the arrow keys nudge the
    // points chosen before the scroll box scrolls with them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void createMenu();
    void createRecentMenu(); // File > Open Recent and its items
    void createStatusBar();
    // The one place that sets which menu items are enabled and checked
    // (and how Undo and Redo read), after every command.
    void updateActions();
    // The title, with the file's name and a mark of unsaved changes.
    void updateTitle();
    void updateRecentMenu(); // an item for each recent picture, newest first
    // Shows how many cells the worker has left, when it has been busy long.
    void showProgress();
    // Runs a command, showing any error it raises; none once shut down.
    void run(const std::function<void()>& command);
    // An arrow key while points are chosen nudges them; whether it did.
    bool nudgeKey(const QKeyEvent& key);
    // Worker thread: has the event loop serve the worker's waiting call.
    void postWorkerCall() noexcept;
    void shutDown();

    // WindowPorts, then GridDialogPort, whose calls go on to the grid dialog.
    void captureMouse() override;
    void releaseMouseCapture() override;
    void showInformation(const std::string& text) override;
    SaveChoice askToSaveChanges(const std::string& name) override;
    void showNote(const std::string& text) override;
    void showZoom(const std::string& text) override;
    void showPointReadout(const std::string& text) override;
    void setEditText(const std::string& text) override;
    void showModal() override;
    std::string editText() const override;

    // The widgets and menu items, owned through Qt's parents.
    QFrame* toolPanel_ = nullptr;
    QToolButton *gridButton_ = nullptr, *resetButton_ = nullptr;
    QLabel* panelPicture_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QtPictureView* pictureView_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QMenu* openRecentMenu_ = nullptr;
    // recentFileAction1 to 10, a place of the recent pictures each.
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
    // The status bar's zoom, cells left and point under the pointer.
    QLabel *zoomLabel_ = nullptr, *progressLabel_ = nullptr, *pointLabel_ = nullptr;

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
