#include "app/qt/main_window.h"

#include <exception>
#include <initializer_list>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include "app/qt/file_dialogs.h"
#include "app/qt/picture_control.h"
#include "app/qt/qt_settings_store.h"

namespace plexor {
namespace {

// Where the window opens: left, top, outer width and height.
constexpr QRect kDesignedBounds{190, 109, 337, 267};
constexpr int kPanelWidth = 41;

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        const QRect& bounds)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setGeometry(bounds);
    // A speed button never takes the keyboard focus from the window.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

KeyModifiers keyModifiers(Qt::KeyboardModifiers keys)
{
    return KeyModifiers{(keys & Qt::ShiftModifier) != 0, (keys & Qt::ControlModifier) != 0};
}

// The files a drag carries, by their local names; an item that is not a
// local file is an empty name, which no drop takes.
std::vector<std::string> draggedFiles(const QMimeData* data)
{
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        files.push_back(url.isLocalFile() ? QFile::encodeName(url.toLocalFile()).toStdString() : std::string());
    return files;
}

} // namespace

void MainWindow::run(const std::function<void()>& command)
{
    if (shutDown_) return;
    try {
        command();
    } catch (const std::exception& error) {
        services_.boxes->showError(error.what());
    } catch (...) {
        services_.boxes->showError("The command failed.");
    }
    // The check mark follows the commands' switch, whichever way Qt's own
    // toggle of a checkable item went.
    showGridAction->setChecked(commands_->view().gridShown());
    updateMenus();
}

MainWindow::MainWindow(DialogServices services) : services_(std::move(services))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Plexor machine"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    if (!services_.files) services_.files = std::make_unique<QtFileDialogs>(this);
    if (!services_.boxes) services_.boxes = std::make_unique<QtMessageBoxes>(this);
    if (!services_.settings) services_.settings = std::make_unique<QtSettingsStore>();
    setAcceptDrops(true);

    createWidgets();
    createMenu();
    createStatusBar();
    frame_ = std::make_unique<MainWindowFrame>(*this, *toolPanel);
    placeAtDesignedBounds();

    workerCalls_ = std::make_unique<WorkerCallNotifier>([this] {
        if (!shutDown_) commands_->serveWorkerCalls();
    });
    // start: the model's defaults, the empty queue, the worker asleep.
    commands_ = std::make_unique<MainCommands>(ShellPorts{*services_.boxes, *services_.boxes, *services_.files, *frame_,
                                                          *pictureView, *this, *this, codec_, *services_.settings,
                                                          [this] { postWorkerCall(); }});
    commands_->start();
    updateMenus();
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::createWidgets()
{
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(client);

    toolPanel = new QFrame(client);
    toolPanel->setObjectName(QStringLiteral("toolPanel"));
    toolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toolPanel->setFixedWidth(kPanelWidth);
    layout->addWidget(toolPanel);

    gridButton = toolButton(toolPanel, "gridButton", QStringLiteral("#"),
                            QStringLiteral("create new grid / new grid size"), QRect(6, 6, 25, 25));
    resetButton = toolButton(toolPanel, "resetButton", QStringLiteral("&R"),
                             QStringLiteral("Reset the picture and the grid"), QRect(6, 40, 25, 25));
    connect(gridButton, &QToolButton::clicked, this, [this] { run([this] { commands_->grid().layNewGrid(); }); });
    connect(resetButton, &QToolButton::clicked, this, [this] { run([this] { commands_->grid().resetGrid(); }); });

    panelPicture = new QLabel(toolPanel);
    panelPicture->setObjectName(QStringLiteral("panelPicture"));
    panelPicture->setGeometry(3, 71, 33, 145);
    panelPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panelPicture->setPixmap(QPixmap(QStringLiteral(":/plexor/panel.png")));

    scrollArea = new QScrollArea(client);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scrollArea->setLineWidth(2);
    scrollArea->setWidgetResizable(false);
    scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window may shrink round a picture of a few pixels.
    scrollArea->setMinimumSize(4, 4);
    layout->addWidget(scrollArea, 1);

    pictureView = new PictureControl;
    scrollArea->setWidget(pictureView);
    pictureView->attachScrollArea(*scrollArea);
    scrollArea->viewport()->installEventFilter(this);
    // A reduced view holds only what the viewport shows: it follows.
    const auto viewportChanged = [this] { run([this] { commands_->view().viewportChanged(); }); };
    connect(scrollArea->horizontalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    connect(scrollArea->verticalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    pictureView->move(0, 0);
    connect(pictureView, &PictureControl::mousePressed, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().press(x, y, keyModifiers(keys)); });
    });
    connect(pictureView, &PictureControl::mouseMoved, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().move(x, y, keyModifiers(keys)); });
    });
    connect(pictureView, &PictureControl::mouseReleased, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().release(x, y, keyModifiers(keys)); });
    });
    // The arrow keys reach the scroll box first, which would scroll with them.
    scrollArea->installEventFilter(this);
}

void MainWindow::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    progressLabel = new QLabel(statusBar());
    progressLabel->setObjectName(QStringLiteral("progressLabel"));
    progressLabel->hide();
    statusBar()->addWidget(progressLabel);
    pointLabel = new QLabel(statusBar());
    pointLabel->setObjectName(QStringLiteral("pointLabel"));
    statusBar()->addWidget(pointLabel);
    zoomLabel = new QLabel(QStringLiteral("Zoom 100%"), statusBar());
    zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    statusBar()->addPermanentWidget(zoomLabel);
    // The worker's progress is looked at now and then; showing it redraws
    // nothing of the picture.
    auto* poll = new QTimer(this);
    poll->setInterval(100);
    connect(poll, &QTimer::timeout, this, &MainWindow::showProgress);
    poll->start();
}

void MainWindow::showProgress()
{
    if (shutDown_) return;
    const std::optional<std::string> text = commands_->progressText(std::chrono::steady_clock::now());
    if (text) progressLabel->setText(QString::fromStdString(*text));
    progressLabel->setVisible(text.has_value());
}

void MainWindow::placeAtDesignedBounds()
{
    frame_->setOuterBounds(kDesignedBounds);
}

void MainWindow::openFile(const std::string& path)
{
    run([&] { commands_->openFile(path); });
}

void MainWindow::postWorkerCall() noexcept
{
    // Worker thread. The UI thread wakes and serves the call, unless the
    // window has shut down by then.
    workerCallsPosted_.fetch_add(1);
    workerCalls_->notify();
}

bool MainWindow::nudgeKey(const QKeyEvent& key)
{
    if (shutDown_ || (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != 0 ||
        !commands_->selection().canSelectNone())
        return false;
    const int by = key.modifiers() & Qt::ShiftModifier ? 10 : 1;
    int dx = 0, dy = 0;
    switch (key.key()) {
    case Qt::Key_Left: dx = -by; break;
    case Qt::Key_Right: dx = by; break;
    case Qt::Key_Up: dy = -by; break;
    case Qt::Key_Down: dy = by; break;
    default: return false;
    }
    run([&] { commands_->selection().nudge(dx, dy); });
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (nudgeKey(*event)) {
        event->accept();
        return;
    }
    const QList<uint> characters = event->text().toUcs4();
    if (characters.isEmpty()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    const char32_t key = characters.first();
    run([&] { commands_->keyTyped(key); });
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    // Refused, the drag shows the cursor that says so, and nothing else.
    if (!shutDown_ && commands_->dropKind(draggedFiles(event->mimeData())) != DropKind::Refused)
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    // What the drag would do is the same all over the window.
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    // The drop's source waits until it returns: a question or a message the
    // command shows comes after.
    QTimer::singleShot(0, this,
                       [this, files = draggedFiles(event->mimeData())] { run([&] { commands_->drop(files); }); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Unsaved changes are saved, discarded or keep the window open.
    bool goOn = shutDown_;
    if (!goOn) run([&] { goOn = commands_->askAboutUnsavedChanges(); });
    if (!goOn) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void MainWindow::shutDown()
{
    if (shutDown_) return;
    // From here on no event reaches the commands; shutDown itself still
    // runs the refreshes that the worker asks for while it is stopped.
    shutDown_ = true;
    releaseMouseCapture();
    commands_->shutDown();
}

void MainWindow::setShowChecked(bool checked)
{
    showGridAction->setChecked(checked);
}

void MainWindow::captureMouse()
{
    if (pictureView->isVisible()) pictureView->grabMouse();
}

void MainWindow::releaseMouseCapture()
{
    if (QWidget::mouseGrabber() == pictureView) pictureView->releaseMouse();
}

void MainWindow::showZoom(const std::string& text)
{
    zoomLabel->setText(QString::fromStdString(text));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrollArea && event->type() == QEvent::KeyPress && commands_)
        return nudgeKey(*static_cast<QKeyEvent*>(event));
    if (watched != scrollArea->viewport() || !commands_) return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Resize) {
        // A reduced view holds only what the viewport shows: it follows.
        run([this] { commands_->view().viewportChanged(); });
        return false;
    }
    if (event->type() != QEvent::Wheel) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint delta = wheel->angleDelta();
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    if (wheel->modifiers() & Qt::ControlModifier) {
        // A notch is 120; a fine wheel's smaller turns add up to notches.
        wheelTurn_ += turn;
        const int notches = wheelTurn_ / 120;
        wheelTurn_ -= notches * 120;
        const QPoint at = wheel->position().toPoint();
        if (notches != 0) run([&] { commands_->view().wheelZoom(notches, at.x(), at.y()); });
        return true;
    }
    // Three lines a notch, as Qt scrolls.
    QScrollBar* bar =
        wheel->modifiers() & Qt::ShiftModifier ? scrollArea->horizontalScrollBar() : scrollArea->verticalScrollBar();
    bar->setValue(bar->value() - turn * 3 * bar->singleStep() / 120);
    return true;
}

void MainWindow::showPointReadout(const std::string& text)
{
    pointLabel->setText(QString::fromStdString(text));
}

void MainWindow::showInformation(const std::string& text)
{
    services_.boxes->showInformation(text);
}

void MainWindow::showNote(const std::string& text)
{
    statusBar()->showMessage(QString::fromLocal8Bit(text), 10000);
}

SaveChoice MainWindow::askToSaveChanges(const std::string& name)
{
    return services_.boxes->askToSaveChanges(name);
}

void MainWindow::setEditText(const std::string& text)
{
    if (gridDialog_ != nullptr)
        gridDialog_->setEditText(text);
    else
        pendingEditText_ = text;
}

void MainWindow::showModal()
{
    if (gridDialog_ != nullptr) gridDialog_->showModal();
}

std::string MainWindow::editText() const
{
    return gridDialog_ != nullptr ? gridDialog_->editText() : pendingEditText_;
}

} // namespace plexor
