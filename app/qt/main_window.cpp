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

#include "app/qt/qt_file_dialogs.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/qt_picture_view.h"
#include "app/qt/qt_settings_store.h"

namespace plexor {
namespace {

// Where the window opens: x, y, outer width and height.
constexpr QRect kStartGeometry{190, 109, 337, 267};
constexpr int kPanelWidth = 41;

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        const QRect& bounds)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setGeometry(bounds);
    // A tool button never takes the keyboard focus from the window.
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
    updateActions();
    updateTitle();
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
    frame_ = std::make_unique<MainWindowFrame>(*this, *toolPanel_);
    moveToStartGeometry();

    workerCalls_ = std::make_unique<WorkerCallNotifier>([this] {
        if (!shutDown_) commands_->workerControl().serveCalls();
    });
    // start: the model's defaults, the empty queue, the worker asleep.
    commands_ = std::make_unique<MainCommands>(ShellPorts{*services_.boxes, *services_.boxes, *services_.files, *frame_,
                                                          *pictureView_, *this, *this, codec_, *services_.settings,
                                                          [this] { postWorkerCall(); }});
    commands_->start();
    updateActions();
    updateTitle();
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::createWidgets()
{
    auto* contents = new QWidget(this);
    auto* layout = new QHBoxLayout(contents);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(contents);

    toolPanel_ = new QFrame(contents);
    toolPanel_->setObjectName(QStringLiteral("toolPanel"));
    toolPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toolPanel_->setFixedWidth(kPanelWidth);
    layout->addWidget(toolPanel_);

    gridButton_ = toolButton(toolPanel_, "gridButton", QStringLiteral("#"),
                             QStringLiteral("create new grid / new grid size"), QRect(6, 6, 25, 25));
    resetButton_ = toolButton(toolPanel_, "resetButton", QStringLiteral("&R"),
                              QStringLiteral("Reset the picture and the grid"), QRect(6, 40, 25, 25));
    connect(gridButton_, &QToolButton::clicked, this, [this] { run([this] { commands_->grid().layNewGrid(); }); });
    connect(resetButton_, &QToolButton::clicked, this, [this] { run([this] { commands_->grid().resetGrid(); }); });

    panelPicture_ = new QLabel(toolPanel_);
    panelPicture_->setObjectName(QStringLiteral("panelPicture"));
    panelPicture_->setGeometry(3, 71, 33, 145);
    panelPicture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panelPicture_->setPixmap(QPixmap(QStringLiteral(":/plexor/panel.png")));

    scrollArea_ = new QScrollArea(contents);
    scrollArea_->setObjectName(QStringLiteral("scrollArea"));
    scrollArea_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scrollArea_->setLineWidth(2);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window may shrink round a picture of a few pixels.
    scrollArea_->setMinimumSize(4, 4);
    layout->addWidget(scrollArea_, 1);

    pictureView_ = new QtPictureView;
    scrollArea_->setWidget(pictureView_);
    pictureView_->attachScrollArea(*scrollArea_);
    scrollArea_->viewport()->installEventFilter(this);
    // A reduced view holds only what the viewport shows: it follows.
    const auto viewportChanged = [this] { run([this] { commands_->view().viewportChanged(); }); };
    connect(scrollArea_->horizontalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    connect(scrollArea_->verticalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    pictureView_->move(0, 0);
    connect(pictureView_, &QtPictureView::mousePressed, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().press(x, y, keyModifiers(keys)); });
    });
    connect(pictureView_, &QtPictureView::mouseMoved, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().move(x, y, keyModifiers(keys)); });
    });
    connect(pictureView_, &QtPictureView::mouseReleased, this, [this](int x, int y, Qt::KeyboardModifiers keys) {
        run([&] { commands_->mouse().release(x, y, keyModifiers(keys)); });
    });
    // The arrow keys reach the scroll box first, which would scroll with them.
    scrollArea_->installEventFilter(this);
}

void MainWindow::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    progressLabel_ = new QLabel(statusBar());
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    progressLabel_->hide();
    statusBar()->addWidget(progressLabel_);
    pointLabel_ = new QLabel(statusBar());
    pointLabel_->setObjectName(QStringLiteral("pointLabel"));
    statusBar()->addWidget(pointLabel_);
    zoomLabel_ = new QLabel(QStringLiteral("Zoom 100%"), statusBar());
    zoomLabel_->setObjectName(QStringLiteral("zoomLabel"));
    statusBar()->addPermanentWidget(zoomLabel_);
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
    const std::optional<std::string> text = commands_->workerControl().progressText(std::chrono::steady_clock::now());
    if (text) progressLabel_->setText(QString::fromStdString(*text));
    progressLabel_->setVisible(text.has_value());
    // For measurements (scripts/drag-timing): the live frames shown so far,
    // written where PLEXOR_LIVE_FRAMES names.
    static const QString kFrameLog = qEnvironmentVariable("PLEXOR_LIVE_FRAMES");
    if (kFrameLog.isEmpty()) return;
    QFile log(kFrameLog);
    if (log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        log.write(QByteArray::number(static_cast<qulonglong>(commands_->live().framesShown())) + '\n');
}

void MainWindow::moveToStartGeometry()
{
    frame_->setOuterBounds(kStartGeometry);
}

void MainWindow::openFile(const std::string& path)
{
    run([&] { commands_->document().openFile(path); });
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
    if (!shutDown_ && commands_->document().dropKind(draggedFiles(event->mimeData())) != DropKind::Refused)
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
    QTimer::singleShot(
        0, this, [this, files = draggedFiles(event->mimeData())] { run([&] { commands_->document().drop(files); }); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Unsaved changes are saved, discarded or keep the window open.
    bool goOn = shutDown_;
    if (!goOn) run([&] { goOn = commands_->document().askAboutUnsavedChanges(); });
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

void MainWindow::captureMouse()
{
    if (pictureView_->isVisible()) pictureView_->grabMouse();
}

void MainWindow::releaseMouseCapture()
{
    if (QWidget::mouseGrabber() == pictureView_) pictureView_->releaseMouse();
}

void MainWindow::showZoom(const std::string& text)
{
    zoomLabel_->setText(QString::fromStdString(text));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrollArea_ && event->type() == QEvent::KeyPress && commands_)
        return nudgeKey(*static_cast<QKeyEvent*>(event));
    if (watched != scrollArea_->viewport() || !commands_) return QMainWindow::eventFilter(watched, event);
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
        wheel->modifiers() & Qt::ShiftModifier ? scrollArea_->horizontalScrollBar() : scrollArea_->verticalScrollBar();
    bar->setValue(bar->value() - turn * 3 * bar->singleStep() / 120);
    return true;
}

void MainWindow::showPointReadout(const std::string& text)
{
    pointLabel_->setText(QString::fromStdString(text));
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
