#include "app/qt/main_window.h"

#include <exception>

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "app/qt/file_dialogs.h"
#include "app/qt/picture_control.h"

namespace plexor {
namespace {

// Where the window opens: left, top, outer width and height.
constexpr QRect kDesignedBounds{190, 109, 337, 267};
constexpr int kPanelWidth = 41;

QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
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

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

} // namespace

template <class Command>
void TFMain::Run(Command&& command)
{
    if (shutDown_) return;
    try {
        command();
    } catch (const std::exception& error) {
        services_.Boxes->ShowError(error.what());
    } catch (...) {
        services_.Boxes->ShowError("The command failed.");
    }
    // The check mark follows the commands' switch, whichever way Qt's own
    // toggle of a checkable item went.
    MIShow->setChecked(commands_->ShowChecked());
    UpdateMenus();
}

TFMain::TFMain(DialogServices services) : services_(std::move(services))
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("Plexor machine"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    if (!services_.Files) services_.Files = std::make_unique<QtFileDialogs>(this);
    if (!services_.Boxes) services_.Boxes = std::make_unique<QtMessageBoxes>(this);

    CreateComponents();
    CreateMenu();
    CreateStatusBar();
    frame_ = std::make_unique<MainWindowFrame>(*this, *PLeft);
    PlaceAtDesignedBounds();

    workerCalls_ = std::make_unique<WorkerCallNotifier>([this] {
        if (!shutDown_) commands_->ServeWorkerCalls();
    });
    // FormCreate: the model's defaults, the empty queue, the worker asleep.
    commands_ = std::make_unique<MainCommands>(ShellPorts{*services_.Boxes, *services_.Boxes, *services_.Files, *frame_,
                                                          *Image, *this, *this, codec_, [this] { PostWorkerCall(); }});
    commands_->FormCreate();
    UpdateMenus();
}

TFMain::~TFMain()
{
    FormDestroy();
}

void TFMain::CreateComponents()
{
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(client);

    PLeft = new QFrame(client);
    PLeft->setObjectName(QStringLiteral("PLeft"));
    PLeft->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PLeft->setFixedWidth(kPanelWidth);
    layout->addWidget(PLeft);

    SBGrid = SpeedButton(PLeft, "SBGrid", QStringLiteral("#"), QStringLiteral("create new grid / new grid size"),
                         QRect(6, 6, 25, 25));
    SBDefault = SpeedButton(PLeft, "SBDefault", QStringLiteral("&R"), QStringLiteral("Reset the picture and the grid"),
                            QRect(6, 40, 25, 25));
    connect(SBGrid, &QToolButton::clicked, this, [this] { Run([this] { commands_->SBGridClick(); }); });
    connect(SBDefault, &QToolButton::clicked, this, [this] { Run([this] { commands_->SBDefaultClick(); }); });

    Image1 = new QLabel(PLeft);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(3, 71, 33, 145);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(QStringLiteral(":/plexor/panel.png")));

    SB = new QScrollArea(client);
    SB->setObjectName(QStringLiteral("SB"));
    SB->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SB->setLineWidth(2);
    SB->setWidgetResizable(false);
    SB->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window may shrink round a picture of a few pixels.
    SB->setMinimumSize(4, 4);
    layout->addWidget(SB, 1);

    Image = new PictureControl;
    SB->setWidget(Image);
    Image->AttachScrollArea(*SB);
    SB->viewport()->installEventFilter(this);
    // A reduced view holds only what the viewport shows: it follows.
    const auto viewportChanged = [this] { Run([this] { commands_->ViewportChanged(); }); };
    connect(SB->horizontalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    connect(SB->verticalScrollBar(), &QScrollBar::valueChanged, this, viewportChanged);
    Image->move(0, 0);
    connect(Image, &PictureControl::MouseDown, this,
            [this](int x, int y) { Run([&] { commands_->ImageMouseDown(x, y); }); });
    connect(Image, &PictureControl::MouseMove, this,
            [this](int x, int y) { Run([&] { commands_->ImageMouseMove(x, y); }); });
    connect(Image, &PictureControl::MouseUp, this,
            [this](int x, int y) { Run([&] { commands_->ImageMouseUp(x, y); }); });
}

void TFMain::CreateMenu()
{
    menuBar()->setObjectName(QStringLiteral("MM"));

    MIFile = menuBar()->addMenu(QStringLiteral("&File"));
    MIFile->setObjectName(QStringLiteral("MIFile"));
    MIOpen = MenuItem(MIFile, "MIOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    MISaveAs = MenuItem(MIFile, "MISaveAs", QStringLiteral("&Save as..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    MIOpenGrid = MenuItem(MIFile, "MIOpenGrid", QStringLiteral("Open &grid..."));
    MISaveGrid = MenuItem(MIFile, "MISaveGrid", QStringLiteral("Save g&rid..."));
    N1 = MIFile->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    MIExit = MenuItem(MIFile, "MIExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    MIEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    MIEdit->setObjectName(QStringLiteral("MIEdit"));
    MIUndo = MenuItem(MIEdit, "MIUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    MIRedo = MenuItem(MIEdit, "MIRedo", QStringLiteral("&Redo"));
    MIRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    Grid1 = menuBar()->addMenu(QStringLiteral("&Grid"));
    Grid1->setObjectName(QStringLiteral("Grid1"));
    MIShow = MenuItem(Grid1, "MIShow", QStringLiteral("&Show"));
    MIShow->setCheckable(true);
    MIShow->setChecked(false);

    MIView = menuBar()->addMenu(QStringLiteral("&View"));
    MIView->setObjectName(QStringLiteral("MIView"));
    MIZoomIn = MenuItem(MIView, "MIZoomIn", QStringLiteral("Zoom &in"));
    MIZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    MIZoomOut = MenuItem(MIView, "MIZoomOut", QStringLiteral("Zoom &out"), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    MIFit = MenuItem(MIView, "MIFit", QStringLiteral("&Fit to window"), QKeySequence(Qt::CTRL | Qt::Key_0));
    MIActualSize = MenuItem(MIView, "MIActualSize", QStringLiteral("&Actual size"), QKeySequence(Qt::CTRL | Qt::Key_1));

    MIHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MIHelp->setObjectName(QStringLiteral("MIHelp"));
    MIAbout = MenuItem(MIHelp, "MIAbout", QStringLiteral("&About"));

    connect(MIOpen, &QAction::triggered, this, [this] { Run([this] { commands_->MIOpenClick(); }); });
    connect(MISaveAs, &QAction::triggered, this, [this] { Run([this] { commands_->MISaveAsClick(); }); });
    connect(MIOpenGrid, &QAction::triggered, this, [this] { Run([this] { commands_->MIOpenGridClick(); }); });
    connect(MISaveGrid, &QAction::triggered, this, [this] { Run([this] { commands_->MISaveGridClick(); }); });
    connect(MIExit, &QAction::triggered, this, &QWidget::close);
    connect(MIShow, &QAction::triggered, this, [this] { Run([this] { commands_->MIShowClick(); }); });
    connect(MIAbout, &QAction::triggered, this, [this] { Run([this] { commands_->MIAboutClick(); }); });
    connect(MIUndo, &QAction::triggered, this, [this] { Run([this] { commands_->MIUndoClick(); }); });
    connect(MIRedo, &QAction::triggered, this, [this] { Run([this] { commands_->MIRedoClick(); }); });
    connect(MIZoomIn, &QAction::triggered, this, [this] { Run([this] { commands_->MIZoomInClick(); }); });
    connect(MIZoomOut, &QAction::triggered, this, [this] { Run([this] { commands_->MIZoomOutClick(); }); });
    connect(MIFit, &QAction::triggered, this, [this] { Run([this] { commands_->MIFitClick(); }); });
    connect(MIActualSize, &QAction::triggered, this, [this] { Run([this] { commands_->MIActualSizeClick(); }); });
}

void TFMain::UpdateMenus()
{
    const std::optional<std::string> undo = commands_ ? commands_->UndoText() : std::nullopt;
    const std::optional<std::string> redo = commands_ ? commands_->RedoText() : std::nullopt;
    MIUndo->setEnabled(undo.has_value());
    MIUndo->setText(undo ? QString::fromStdString(*undo) : QStringLiteral("&Undo"));
    MIRedo->setEnabled(redo.has_value());
    MIRedo->setText(redo ? QString::fromStdString(*redo) : QStringLiteral("&Redo"));
    MIOpenGrid->setEnabled(commands_ && commands_->CanOpenGrid());
    MISaveGrid->setEnabled(commands_ && commands_->CanSaveGrid());
}

void TFMain::CreateStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    ProgressLabel = new QLabel(statusBar());
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressLabel->hide();
    statusBar()->addWidget(ProgressLabel);
    ZoomLabel = new QLabel(QStringLiteral("Zoom 100%"), statusBar());
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    statusBar()->addPermanentWidget(ZoomLabel);
    // The worker's progress is looked at now and then; showing it redraws
    // nothing of the picture.
    auto* poll = new QTimer(this);
    poll->setInterval(100);
    connect(poll, &QTimer::timeout, this, &TFMain::ShowProgress);
    poll->start();
}

void TFMain::ShowProgress()
{
    if (shutDown_) return;
    const std::optional<std::string> text = commands_->ProgressText(std::chrono::steady_clock::now());
    if (text) ProgressLabel->setText(QString::fromStdString(*text));
    ProgressLabel->setVisible(text.has_value());
}

void TFMain::PlaceAtDesignedBounds()
{
    frame_->SetOuterBounds(kDesignedBounds);
}

void TFMain::OpenFile(const std::string& path)
{
    Run([&] { commands_->OpenFile(path); });
}

void TFMain::PostWorkerCall() noexcept
{
    // Worker thread. The UI thread wakes and serves the call, unless the
    // window has shut down by then.
    workerCallsPosted_.fetch_add(1);
    workerCalls_->notify();
}

void TFMain::keyPressEvent(QKeyEvent* event)
{
    const QList<uint> characters = event->text().toUcs4();
    if (characters.isEmpty()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    const char32_t key = characters.first();
    Run([&] { commands_->FormKeyPress(key); });
    event->accept();
}

void TFMain::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

void TFMain::FormDestroy()
{
    if (shutDown_) return;
    // From here on no event reaches the commands; FormDestroy itself still
    // runs the refreshes that the worker asks for while it is stopped.
    shutDown_ = true;
    ReleaseCapture();
    commands_->FormDestroy();
}

void TFMain::SetShowChecked(bool checked)
{
    MIShow->setChecked(checked);
}

void TFMain::SetCapture()
{
    if (Image->isVisible()) Image->grabMouse();
}

void TFMain::ReleaseCapture()
{
    if (QWidget::mouseGrabber() == Image) Image->releaseMouse();
}

void TFMain::ShowZoom(const std::string& text)
{
    ZoomLabel->setText(QString::fromStdString(text));
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != SB->viewport() || !commands_) return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Resize) {
        // A reduced view holds only what the viewport shows: it follows.
        Run([this] { commands_->ViewportChanged(); });
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
        if (notches != 0) Run([&] { commands_->WheelZoom(notches, at.x(), at.y()); });
        return true;
    }
    // Three lines a notch, as Qt scrolls.
    QScrollBar* bar = wheel->modifiers() & Qt::ShiftModifier ? SB->horizontalScrollBar() : SB->verticalScrollBar();
    bar->setValue(bar->value() - turn * 3 * bar->singleStep() / 120);
    return true;
}

void TFMain::ShowInformation(const std::string& text)
{
    services_.Boxes->ShowInformation(text);
}

void TFMain::SetEditText(const std::string& text)
{
    if (gridDialog_ != nullptr)
        gridDialog_->SetEditText(text);
    else
        pendingEditText_ = text;
}

void TFMain::ShowModal()
{
    if (gridDialog_ != nullptr) gridDialog_->ShowModal();
}

std::string TFMain::EditText() const
{
    return gridDialog_ != nullptr ? gridDialog_->EditText() : pendingEditText_;
}

} // namespace plexor
