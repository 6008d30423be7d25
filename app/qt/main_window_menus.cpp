// The window's menus: their items and keys, File > Open Recent, what each
// item shows as the commands' state changes, and the title.

#include <initializer_list>

#include <QFile>
#include <QMenuBar>

#include "app/qt/main_window.h"

namespace plexor {
namespace {

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

// The platform's standard keys of `key`, then the keys of `kept` it lacks.
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, std::initializer_list<QKeySequence> kept)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    for (const QKeySequence& sequence : kept)
        if (!keys.contains(sequence)) keys << sequence;
    return keys;
}

} // namespace

void MainWindow::createMenu()
{
    menuBar()->setObjectName(QStringLiteral("menuBar"));

    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    openAction_ = addMenuItem(fileMenu_, "openAction", QStringLiteral("&Open..."));
    openAction_->setShortcuts(standardKeys(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
    createRecentMenu();
    saveAsAction_ = addMenuItem(fileMenu_, "saveAsAction", QStringLiteral("&Save as..."));
    saveAsAction_->setShortcuts(standardKeys(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
    openGridAction_ = addMenuItem(fileMenu_, "openGridAction", QStringLiteral("Open &grid..."));
    saveGridAction_ = addMenuItem(fileMenu_, "saveGridAction", QStringLiteral("Save g&rid..."));
    fileMenu_->addSeparator();
    exitAction_ = addMenuItem(fileMenu_, "exitAction", QStringLiteral("E&xit"));
    exitAction_->setShortcuts(standardKeys(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));

    editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    editMenu_->setObjectName(QStringLiteral("editMenu"));
    undoAction_ = addMenuItem(editMenu_, "undoAction", QStringLiteral("&Undo"));
    undoAction_->setShortcuts(standardKeys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    redoAction_ = addMenuItem(editMenu_, "redoAction", QStringLiteral("&Redo"));
    redoAction_->setShortcuts(standardKeys(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    editMenu_->addSeparator();
    selectAllAction_ = addMenuItem(editMenu_, "selectAllAction", QStringLiteral("Select &all"));
    selectAllAction_->setShortcuts(standardKeys(QKeySequence::SelectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}));
    selectNoneAction_ =
        addMenuItem(editMenu_, "selectNoneAction", QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape));

    gridMenu_ = menuBar()->addMenu(QStringLiteral("&Grid"));
    gridMenu_->setObjectName(QStringLiteral("gridMenu"));
    showGridAction_ = addMenuItem(gridMenu_, "showGridAction", QStringLiteral("&Show"));
    showGridAction_->setCheckable(true);
    gridOverResultAction_ =
        addMenuItem(gridMenu_, "gridOverResultAction", QStringLiteral("&New grid over the result..."),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    resamplingMenu_ = gridMenu_->addMenu(QStringLiteral("&Resampling"));
    resamplingMenu_->setObjectName(QStringLiteral("resamplingMenu"));
    exactAction_ = addMenuItem(resamplingMenu_, "exactAction", QStringLiteral("&Exact"));
    smoothAction_ = addMenuItem(resamplingMenu_, "smoothAction", QStringLiteral("&Smooth"));
    exactAction_->setCheckable(true);
    smoothAction_->setCheckable(true);

    viewMenu_ = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu_->setObjectName(QStringLiteral("viewMenu"));
    zoomInAction_ = addMenuItem(viewMenu_, "zoomInAction", QStringLiteral("Zoom &in"));
    zoomInAction_->setShortcuts(standardKeys(
        QKeySequence::ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}));
    zoomOutAction_ = addMenuItem(viewMenu_, "zoomOutAction", QStringLiteral("Zoom &out"));
    zoomOutAction_->setShortcuts(standardKeys(QKeySequence::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}));
    fitAction_ =
        addMenuItem(viewMenu_, "fitAction", QStringLiteral("&Fit to window"), QKeySequence(Qt::CTRL | Qt::Key_0));
    actualSizeAction_ =
        addMenuItem(viewMenu_, "actualSizeAction", QStringLiteral("&Actual size"), QKeySequence(Qt::CTRL | Qt::Key_1));
    viewMenu_->addSeparator();
    livePreviewAction_ = addMenuItem(viewMenu_, "livePreviewAction", QStringLiteral("&Live Preview"));
    livePreviewAction_->setCheckable(true);

    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->setObjectName(QStringLiteral("helpMenu"));
    aboutAction_ = addMenuItem(helpMenu_, "aboutAction", QStringLiteral("&About"));

    connect(openAction_, &QAction::triggered, this, [this] { run([this] { commands_->document().openPicture(); }); });
    connect(saveAsAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->document().savePictureAs(); }); });
    connect(openGridAction_, &QAction::triggered, this, [this] { run([this] { commands_->grid().openGrid(); }); });
    connect(saveGridAction_, &QAction::triggered, this, [this] { run([this] { commands_->grid().saveGrid(); }); });
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(showGridAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->view().toggleGridShown(); }); });
    connect(aboutAction_, &QAction::triggered, this, [this] { run([this] { commands_->showAbout(); }); });
    connect(undoAction_, &QAction::triggered, this, [this] { run([this] { commands_->undo(); }); });
    connect(redoAction_, &QAction::triggered, this, [this] { run([this] { commands_->history().redo(); }); });
    connect(selectAllAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->selection().selectAll(); }); });
    connect(selectNoneAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->selection().selectNone(); }); });
    connect(gridOverResultAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->grid().layGridOverResult(); }); });
    connect(exactAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->grid().setResampling(Resampling::Exact); }); });
    connect(smoothAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->grid().setResampling(Resampling::Smooth); }); });
    connect(zoomInAction_, &QAction::triggered, this, [this] { run([this] { commands_->view().zoomIn(); }); });
    connect(zoomOutAction_, &QAction::triggered, this, [this] { run([this] { commands_->view().zoomOut(); }); });
    connect(fitAction_, &QAction::triggered, this, [this] { run([this] { commands_->view().fitToWindow(); }); });
    connect(actualSizeAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->view().showActualSize(); }); });
    connect(livePreviewAction_, &QAction::triggered, this,
            [this](bool on) { run([this, on] { commands_->setLivePreview(on); }); });
}

void MainWindow::createRecentMenu()
{
    openRecentMenu_ = fileMenu_->addMenu(QStringLiteral("Open rec&ent"));
    openRecentMenu_->setObjectName(QStringLiteral("openRecentMenu"));
    for (std::size_t i = 0; i < recentFileActions_.size(); ++i) {
        QAction* item = openRecentMenu_->addAction(QString());
        item->setObjectName(QStringLiteral("recentFileAction%1").arg(i + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, i] {
            const std::string path = shownRecent_.at(i);
            run([&] { commands_->document().openRecent(path); });
        });
        recentFileActions_[i] = item;
    }
    openRecentMenu_->addSeparator();
    clearRecentAction_ = openRecentMenu_->addAction(QStringLiteral("&Clear list"));
    clearRecentAction_->setObjectName(QStringLiteral("clearRecentAction"));
    connect(clearRecentAction_, &QAction::triggered, this,
            [this] { run([this] { commands_->pictures().clearRecent(); }); });
}

void MainWindow::updateRecentMenu()
{
    const std::vector<std::string>& files = commands_->pictures().recentFiles();
    if (files == shownRecent_ && !files.empty()) return;
    shownRecent_ = files;
    for (std::size_t i = 0; i < recentFileActions_.size(); ++i) {
        QAction* item = recentFileActions_[i];
        item->setVisible(i < files.size());
        if (i >= files.size()) continue;
        // The number is the item's key; an ampersand of the name is shown.
        QString name = QFile::decodeName(QByteArray::fromStdString(files[i]));
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        item->setText(number + QLatin1Char(' ') + name);
    }
    openRecentMenu_->setEnabled(!files.empty());
}

void MainWindow::updateActions()
{
    const std::optional<std::string> undo = commands_->history().undoText();
    const std::optional<std::string> redo = commands_->history().redoText();
    undoAction_->setEnabled(undo.has_value());
    undoAction_->setText(undo ? QString::fromStdString(*undo) : QStringLiteral("&Undo"));
    redoAction_->setEnabled(redo.has_value());
    redoAction_->setText(redo ? QString::fromStdString(*redo) : QStringLiteral("&Redo"));
    selectAllAction_->setEnabled(commands_->selection().canSelectAll());
    selectNoneAction_->setEnabled(commands_->selection().canSelectNone());
    openGridAction_->setEnabled(commands_->grid().canOpenGrid());
    saveGridAction_->setEnabled(commands_->grid().canSaveGrid());
    gridOverResultAction_->setEnabled(commands_->grid().canLayGridOverResult());
    // The check mark follows the commands' switch, whichever way Qt's own
    // toggle of a checkable item went.
    showGridAction_->setChecked(commands_->view().gridShown());
    livePreviewAction_->setChecked(commands_->live().enabled());
    resamplingMenu_->setEnabled(commands_->grid().canSetResampling());
    exactAction_->setChecked(commands_->grid().resampling() == Resampling::Exact);
    smoothAction_->setChecked(commands_->grid().resampling() == Resampling::Smooth);
    updateRecentMenu();
}

void MainWindow::updateTitle()
{
    // The title names the picture's file, marked while there are unsaved
    // changes.
    const std::string name = commands_->document().documentName();
    setWindowTitle(name.empty() ? QStringLiteral("Plexor machine")
                                : QStringLiteral("Plexor machine - %1[*]").arg(QString::fromLocal8Bit(name)));
    setWindowModified(commands_->document().modified());
}

} // namespace plexor
