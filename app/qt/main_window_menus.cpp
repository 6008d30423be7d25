// The window's menus: their items and keys, File > Open Recent, and what
// each item shows as the commands' state changes.

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

    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    openAction = addMenuItem(fileMenu, "openAction", QStringLiteral("&Open..."));
    openAction->setShortcuts(standardKeys(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
    createRecentMenu();
    saveAsAction = addMenuItem(fileMenu, "saveAsAction", QStringLiteral("&Save as..."));
    saveAsAction->setShortcuts(standardKeys(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
    openGridAction = addMenuItem(fileMenu, "openGridAction", QStringLiteral("Open &grid..."));
    saveGridAction = addMenuItem(fileMenu, "saveGridAction", QStringLiteral("Save g&rid..."));
    fileMenu->addSeparator();
    exitAction = addMenuItem(fileMenu, "exitAction", QStringLiteral("E&xit"));
    exitAction->setShortcuts(standardKeys(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));

    editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = addMenuItem(editMenu, "undoAction", QStringLiteral("&Undo"));
    undoAction->setShortcuts(standardKeys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    redoAction = addMenuItem(editMenu, "redoAction", QStringLiteral("&Redo"));
    redoAction->setShortcuts(standardKeys(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    editMenu->addSeparator();
    selectAllAction = addMenuItem(editMenu, "selectAllAction", QStringLiteral("Select &all"));
    selectAllAction->setShortcuts(standardKeys(QKeySequence::SelectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}));
    selectNoneAction =
        addMenuItem(editMenu, "selectNoneAction", QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape));

    gridMenu = menuBar()->addMenu(QStringLiteral("&Grid"));
    gridMenu->setObjectName(QStringLiteral("gridMenu"));
    showGridAction = addMenuItem(gridMenu, "showGridAction", QStringLiteral("&Show"));
    showGridAction->setCheckable(true);
    showGridAction->setChecked(false);
    gridOverResultAction = addMenuItem(gridMenu, "gridOverResultAction", QStringLiteral("&New grid over the result..."),
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));

    viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu->setObjectName(QStringLiteral("viewMenu"));
    zoomInAction = addMenuItem(viewMenu, "zoomInAction", QStringLiteral("Zoom &in"));
    zoomInAction->setShortcuts(standardKeys(
        QKeySequence::ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}));
    zoomOutAction = addMenuItem(viewMenu, "zoomOutAction", QStringLiteral("Zoom &out"));
    zoomOutAction->setShortcuts(standardKeys(QKeySequence::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}));
    fitAction =
        addMenuItem(viewMenu, "fitAction", QStringLiteral("&Fit to window"), QKeySequence(Qt::CTRL | Qt::Key_0));
    actualSizeAction =
        addMenuItem(viewMenu, "actualSizeAction", QStringLiteral("&Actual size"), QKeySequence(Qt::CTRL | Qt::Key_1));

    helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    aboutAction = addMenuItem(helpMenu, "aboutAction", QStringLiteral("&About"));

    connect(openAction, &QAction::triggered, this, [this] { run([this] { commands_->openPicture(); }); });
    connect(saveAsAction, &QAction::triggered, this, [this] { run([this] { commands_->savePictureAs(); }); });
    connect(openGridAction, &QAction::triggered, this, [this] { run([this] { commands_->grid().openGrid(); }); });
    connect(saveGridAction, &QAction::triggered, this, [this] { run([this] { commands_->grid().saveGrid(); }); });
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    connect(showGridAction, &QAction::triggered, this,
            [this] { run([this] { commands_->view().toggleGridShown(); }); });
    connect(aboutAction, &QAction::triggered, this, [this] { run([this] { commands_->showAbout(); }); });
    connect(undoAction, &QAction::triggered, this, [this] { run([this] { commands_->undo(); }); });
    connect(redoAction, &QAction::triggered, this, [this] { run([this] { commands_->redo(); }); });
    connect(selectAllAction, &QAction::triggered, this,
            [this] { run([this] { commands_->selection().selectAll(); }); });
    connect(selectNoneAction, &QAction::triggered, this,
            [this] { run([this] { commands_->selection().selectNone(); }); });
    connect(gridOverResultAction, &QAction::triggered, this,
            [this] { run([this] { commands_->grid().layGridOverResult(); }); });
    connect(zoomInAction, &QAction::triggered, this, [this] { run([this] { commands_->view().zoomIn(); }); });
    connect(zoomOutAction, &QAction::triggered, this, [this] { run([this] { commands_->view().zoomOut(); }); });
    connect(fitAction, &QAction::triggered, this, [this] { run([this] { commands_->view().fitToWindow(); }); });
    connect(actualSizeAction, &QAction::triggered, this,
            [this] { run([this] { commands_->view().showActualSize(); }); });
}

void MainWindow::createRecentMenu()
{
    openRecentMenu = fileMenu->addMenu(QStringLiteral("Open rec&ent"));
    openRecentMenu->setObjectName(QStringLiteral("openRecentMenu"));
    for (std::size_t i = 0; i < recentFileActions.size(); ++i) {
        QAction* item = openRecentMenu->addAction(QString());
        item->setObjectName(QStringLiteral("recentFileAction%1").arg(i + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, i] {
            const std::string path = shownRecent_.at(i);
            run([&] { commands_->openRecent(path); });
        });
        recentFileActions[i] = item;
    }
    openRecentMenu->addSeparator();
    clearRecentAction = openRecentMenu->addAction(QStringLiteral("&Clear list"));
    clearRecentAction->setObjectName(QStringLiteral("clearRecentAction"));
    connect(clearRecentAction, &QAction::triggered, this,
            [this] { run([this] { commands_->pictures().clearRecent(); }); });
}

void MainWindow::updateRecentMenu()
{
    const std::vector<std::string>& files = commands_->pictures().recentFiles();
    if (files == shownRecent_ && !files.empty()) return;
    shownRecent_ = files;
    for (std::size_t i = 0; i < recentFileActions.size(); ++i) {
        QAction* item = recentFileActions[i];
        item->setVisible(i < files.size());
        if (i >= files.size()) continue;
        // The number is the item's key; an ampersand of the name is shown.
        QString name = QFile::decodeName(QByteArray::fromStdString(files[i]));
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        item->setText(number + QLatin1Char(' ') + name);
    }
    openRecentMenu->setEnabled(!files.empty());
}

void MainWindow::updateMenus()
{
    const std::optional<std::string> undo = commands_ ? commands_->history().undoText() : std::nullopt;
    const std::optional<std::string> redo = commands_ ? commands_->history().redoText() : std::nullopt;
    undoAction->setEnabled(undo.has_value());
    undoAction->setText(undo ? QString::fromStdString(*undo) : QStringLiteral("&Undo"));
    redoAction->setEnabled(redo.has_value());
    redoAction->setText(redo ? QString::fromStdString(*redo) : QStringLiteral("&Redo"));
    openGridAction->setEnabled(commands_ && commands_->grid().canOpenGrid());
    saveGridAction->setEnabled(commands_ && commands_->grid().canSaveGrid());
    // The title names the picture's file, marked while there are unsaved
    // changes.
    const std::string name = commands_ ? commands_->documentName() : std::string();
    setWindowTitle(name.empty() ? QStringLiteral("Plexor machine")
                                : QStringLiteral("Plexor machine - %1[*]").arg(QString::fromLocal8Bit(name)));
    setWindowModified(commands_ && commands_->modified());
    if (commands_) updateRecentMenu();
    selectAllAction->setEnabled(commands_ && commands_->selection().canSelectAll());
    selectNoneAction->setEnabled(commands_ && commands_->selection().canSelectNone());
    gridOverResultAction->setEnabled(commands_ && commands_->grid().canLayGridOverResult());
}

} // namespace plexor
