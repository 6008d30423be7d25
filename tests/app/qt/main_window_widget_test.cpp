// The main window as the user first sees it, its menu, keys and the
// commands that need no picture.

#include <cstring>

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include "app/picture_files.h"
#include "app/qt/qt_picture_view.h"
#include "platform/picture.h"
#include "tests/support/widget_support.h"

namespace plexor::test {

class MainWindowWidgetTest final : public ProgramTest {
    Q_OBJECT

private slots:
    void startsAtItsDesignedPlaceWithItsComponents()
    {
        MainWindow& w = program_->mainWindow();
        const auto [gridButton, resetButton] = childrenNamed<QToolButton>(w, "gridButton", "resetButton");
        const auto [panelPicture, scrollArea, pictureView] =
            childrenNamed<QLabel, QScrollArea, QtPictureView>(w, "panelPicture", "scrollArea", "pictureView");
        QCOMPARE(w.windowTitle(), QStringLiteral("Plexor machine"));
        QCOMPARE(w.frameGeometry(), QRect(190, 109, 337, 267));

        // The panel fills the left edge of the contents between the menu
        // and the status bar.
        const QWidget* contents = w.centralWidget();
        QCOMPARE(child<QFrame>(w, "toolPanel")->geometry(), QRect(0, 0, 41, contents->height()));
        QCOMPARE(contents->geometry().bottom() + 1, w.statusBar()->geometry().top());
        QCOMPARE(child<QLabel>(w, "zoomLabel")->text(), QStringLiteral("Zoom 100%"));
        QVERIFY(!child<QLabel>(w, "progressLabel")->isVisible());
        QCOMPARE(gridButton->geometry(), QRect(6, 6, 25, 25));
        QCOMPARE(gridButton->text(), QStringLiteral("#"));
        QCOMPARE(gridButton->toolTip(), QStringLiteral("create new grid / new grid size"));
        QCOMPARE(resetButton->geometry(), QRect(6, 40, 25, 25));
        QCOMPARE(resetButton->text(), QStringLiteral("&R"));
        QCOMPARE(resetButton->toolTip(), QStringLiteral("Reset the picture and the grid"));
        QCOMPARE(panelPicture->geometry(), QRect(3, 71, 33, 145));
        QCOMPARE(panelPicture->pixmap().size(), QSize(35, 142));

        // The scroll area takes the rest, with a 2-pixel sunken border and
        // the empty picture at its top-left corner.
        QCOMPARE(scrollArea->geometry(), QRect(41, 0, contents->width() - 41, contents->height()));
        QCOMPARE(scrollArea->frameWidth(), 2);
        QCOMPARE(scrollArea->frameShadow(), QFrame::Sunken);
        QCOMPARE(scrollArea->widget(), static_cast<QWidget*>(pictureView));
        QCOMPARE(pictureView->geometry(), QRect(0, 0, 0, 0));

        // Created with the window: the worker, asleep, and the grid step.
        QVERIFY(w.commands().workerControl().running());
        QCOMPARE(program_->controlGrid().step(), 48);
        QVERIFY(!program_->buffers().hasPicture());
        QVERIFY(!program_->gridDialog().isVisible());
    }

    void menuHoldsItsItemsAndShortcuts()
    {
        MainWindow& w = program_->mainWindow();
        auto* openRecentMenu = child<QMenu>(w, "openRecentMenu");
        const auto [openAction, saveAsAction, openGridAction, saveGridAction, exitAction] =
            childrenNamed<QAction>(w, "openAction", "saveAsAction", "openGridAction", "saveGridAction", "exitAction");
        const auto [showGridAction, gridOverResultAction] =
            childrenNamed<QAction>(w, "showGridAction", "gridOverResultAction");
        const auto [undoAction, redoAction, selectAllAction, selectNoneAction] =
            childrenNamed<QAction>(w, "undoAction", "redoAction", "selectAllAction", "selectNoneAction");
        const auto [zoomInAction, zoomOutAction, fitAction, actualSizeAction, aboutAction] =
            childrenNamed<QAction>(w, "zoomInAction", "zoomOutAction", "fitAction", "actualSizeAction", "aboutAction");
        const QList<QAction*> menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 5);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Edit"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Grid"));
        QCOMPARE(menus[3]->text(), QStringLiteral("&View"));
        QCOMPARE(menus[4]->text(), QStringLiteral("&Help"));

        const QList<QAction*> file = child<QMenu>(w, "fileMenu")->actions();
        QCOMPARE(file.size(), 7);
        QCOMPARE(file[0], openAction);
        QCOMPARE(file[1], openRecentMenu->menuAction());
        QCOMPARE(file[2], saveAsAction);
        QCOMPARE(file[3], openGridAction);
        QCOMPARE(file[4], saveGridAction);
        QVERIFY(file[5]->isSeparator());
        QCOMPARE(file[6], exitAction);
        QCOMPARE(openRecentMenu->title(), QStringLiteral("Open rec&ent"));
        QVERIFY(!openRecentMenu->isEnabled()); // nothing opened yet
        QCOMPARE(child<QAction>(w, "clearRecentAction")->text(), QStringLiteral("&Clear list"));
        QCOMPARE(openGridAction->text(), QStringLiteral("Open &grid..."));
        QCOMPARE(saveGridAction->text(), QStringLiteral("Save g&rid..."));
        QVERIFY(!openGridAction->isEnabled()); // no picture yet
        QVERIFY(!saveGridAction->isEnabled());
        QCOMPARE(openAction->text(), QStringLiteral("&Open..."));
        QCOMPARE(saveAsAction->text(), QStringLiteral("&Save as..."));
        QCOMPARE(exitAction->text(), QStringLiteral("E&xit"));
        // The platform's standard keys come first, and every key of before
        // still works.
        const auto keys = [](QKeySequence::StandardKey key, QStringList kept) {
            QList<QKeySequence> expected = QKeySequence::keyBindings(key);
            for (const QString& text : kept)
                if (!expected.contains(QKeySequence(text))) expected << QKeySequence(text);
            return expected;
        };
        QCOMPARE(openAction->shortcuts(), keys(QKeySequence::Open, {"Ctrl+O"}));
        QCOMPARE(saveAsAction->shortcuts(), keys(QKeySequence::SaveAs, {"Ctrl+S"}));
        QCOMPARE(exitAction->shortcuts(), keys(QKeySequence::Quit, {"Ctrl+Q"}));

        auto* resamplingMenu = child<QMenu>(w, "resamplingMenu");
        const auto [exactAction, smoothAction] = childrenNamed<QAction>(w, "exactAction", "smoothAction");
        QCOMPARE(child<QMenu>(w, "gridMenu")->actions(),
                 (QList<QAction*>{showGridAction, gridOverResultAction, resamplingMenu->menuAction()}));
        QCOMPARE(resamplingMenu->actions(), (QList<QAction*>{exactAction, smoothAction}));
        QVERIFY(exactAction->isChecked() && !smoothAction->isChecked());
        QVERIFY(!resamplingMenu->isEnabled()); // no grid yet
        QCOMPARE(showGridAction->text(), QStringLiteral("&Show"));
        QVERIFY(showGridAction->isCheckable());
        QVERIFY(!showGridAction->isChecked());
        QCOMPARE(gridOverResultAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+G")));
        QVERIFY(!gridOverResultAction->isEnabled()); // no grid yet
        const QList<QAction*> edit = child<QMenu>(w, "editMenu")->actions();
        QCOMPARE(edit.size(), 5);
        QCOMPARE(edit.mid(0, 2), (QList<QAction*>{undoAction, redoAction}));
        QVERIFY(edit[2]->isSeparator());
        QCOMPARE(edit.mid(3), (QList<QAction*>{selectAllAction, selectNoneAction}));
        QCOMPARE(selectAllAction->shortcuts(), keys(QKeySequence::SelectAll, {"Ctrl+A"}));
        QCOMPARE(selectNoneAction->shortcut(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(undoAction->shortcuts(), keys(QKeySequence::Undo, {"Ctrl+Z"}));
        QCOMPARE(redoAction->shortcuts(), keys(QKeySequence::Redo, {"Ctrl+Shift+Z", "Ctrl+Y"}));
        QVERIFY(!undoAction->isEnabled());
        QVERIFY(!redoAction->isEnabled());
        const QList<QAction*> view = child<QMenu>(w, "viewMenu")->actions();
        QCOMPARE(view.size(), 6);
        QCOMPARE(view.mid(0, 4), (QList<QAction*>{zoomInAction, zoomOutAction, fitAction, actualSizeAction}));
        QVERIFY(view[4]->isSeparator());
        auto* livePreviewAction = child<QAction>(w, "livePreviewAction");
        QCOMPARE(view[5], livePreviewAction);
        QCOMPARE(livePreviewAction->text(), QStringLiteral("&Live Preview"));
        QVERIFY(livePreviewAction->isCheckable() && livePreviewAction->isChecked());
        QCOMPARE(zoomInAction->shortcuts(), keys(QKeySequence::ZoomIn, {"Ctrl++", "Ctrl+="}));
        QCOMPARE(zoomOutAction->shortcuts(), keys(QKeySequence::ZoomOut, {"Ctrl+-"}));
        QCOMPARE(fitAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
        QCOMPARE(actualSizeAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+1")));
        QCOMPARE(child<QMenu>(w, "helpMenu")->actions(), QList<QAction*>{aboutAction});
        QCOMPARE(aboutAction->text(), QStringLiteral("&About"));
    }

    void shortcutsReachTheFileCommands()
    {
        MainWindow& w = program_->mainWindow();
        QTest::keyClick(w.windowHandle(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(program_->dialogs->openRequests.size(), std::size_t{1});
        const FileDialogRequest& open = program_->dialogs->openRequests[0];
        // Every format the codec reads is offered, all of them together first.
        QVERIFY(filterText(open.filters).starts_with("All pictures (*.bmp;*.png;"));
        QVERIFY(filterText(open.filters).ends_with("|AVIF pictures (*.avif)|*.avif|All files (*.*)|*.*"));
        QCOMPARE(open.fileName, std::string("matrix.bmp"));
        QCOMPARE(open.filterIndex, 1);
        QCOMPARE(open.defaultExtension, std::string("bmp"));

        // Save asks nothing before a picture is open.
        QTest::keyClick(w.windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(program_->dialogs->saveRequests.empty());

        QTest::keyClick(w.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
        QVERIFY(w.hasShutDown());
        QVERIFY(!w.commands().workerControl().running());
    }

    // What the commands do is their own tests' concern; here, that the menu
    // reaches them and shows their state.
    void menuItemsReachTheirCommands()
    {
        MainWindow& w = program_->mainWindow();
        auto* showGridAction = child<QAction>(w, "showGridAction");
        showGridAction->trigger();
        QVERIFY(showGridAction->isChecked());
        QVERIFY(w.commands().view().gridShown());
        showGridAction->trigger();
        QVERIFY(!showGridAction->isChecked());
        child<QAction>(w, "aboutAction")->trigger();
        QCOMPARE(program_->boxes->information, std::vector<std::string>{MainCommands::kAboutText});
        QVERIFY(program_->boxes->errors.empty());
    }

    void theEditMenuFollowsTheHistory()
    {
        TempFolder folder;
        MainWindow& w = program_->mainWindow();
        const auto [undoAction, redoAction, saveGridAction] =
            childrenNamed<QAction>(w, "undoAction", "redoAction", "saveGridAction");
        program_->dialogs->openAnswers.push_back(FileDialogChoice{writeBmp(folder, "a.bmp", gradient24(96, 96)), 1});
        child<QAction>(w, "openAction")->trigger();
        answerGridDialog(program_->gridDialog(), QStringLiteral("24"));
        QTest::keyClick(&w, 'g');
        QVERIFY(undoAction->isEnabled());
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Grid"));
        QVERIFY(!redoAction->isEnabled());
        QVERIFY(saveGridAction->isEnabled());

        // Back from the grid dialog, the window takes the keys again.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!program_->controlGrid().exists());
        QVERIFY(!undoAction->isEnabled());
        QCOMPARE(redoAction->text(), QStringLiteral("Redo Grid"));
        QTest::keyClick(w.windowHandle(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(program_->controlGrid().exists());
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(program_->controlGrid().exists());
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Grid"));

        // The grid as a file, laid again by Open grid once it is undone.
        const std::string kept = folder.file("a.grid");
        program_->dialogs->saveAnswers.push_back(FileDialogChoice{kept, 1});
        saveGridAction->trigger();
        QCOMPARE(program_->dialogs->saveRequests.back().fileName, kept);
        undoAction->trigger();
        QVERIFY(!saveGridAction->isEnabled());
        program_->dialogs->openAnswers.push_back(FileDialogChoice{kept, 1});
        child<QAction>(w, "openGridAction")->trigger();
        QVERIFY(filterText(program_->dialogs->openRequests.back().filters).starts_with("Grid files (*.grid)|*.grid"));
        QVERIFY(program_->controlGrid().exists());
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Open Grid"));

        // Grid > Resampling: each item an edit, its check mark the grid's.
        const auto [exactAction, smoothAction] = childrenNamed<QAction>(w, "exactAction", "smoothAction");
        QVERIFY(child<QMenu>(w, "resamplingMenu")->isEnabled());
        smoothAction->trigger();
        QCOMPARE(program_->controlGrid().resampling(), Resampling::Smooth);
        QVERIFY(smoothAction->isChecked() && !exactAction->isChecked());
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Resampling"));
        smoothAction->trigger(); // chosen again: no edit, and still checked
        QVERIFY(smoothAction->isChecked());
        undoAction->trigger();
        QVERIFY(exactAction->isChecked() && !smoothAction->isChecked());
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Open Grid"));
    }

    void theTitleMarksUnsavedChangesAndClosingAsksAboutThem()
    {
        TempFolder folder;
        MainWindow& w = program_->mainWindow();
        QCOMPARE(w.windowTitle(), QStringLiteral("Plexor machine"));
        program_->dialogs->openAnswers.push_back(FileDialogChoice{writeBmp(folder, "a.bmp", gradient24(96, 96)), 1});
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Plexor machine - a.bmp[*]"));
        QVERIFY(!w.isWindowModified());
        answerGridDialog(program_->gridDialog(), QStringLiteral("24"));
        child<QToolButton>(w, "gridButton")->click();
        QVERIFY(w.isWindowModified());

        // Cancel keeps the window, and Save whose dialog is cancelled too.
        program_->boxes->saveChoices = {SaveChoice::Cancel, SaveChoice::Save};
        child<QAction>(w, "exitAction")->trigger();
        QVERIFY(!w.close());
        QVERIFY(w.isVisible() && !w.hasShutDown() && program_->controlGrid().exists());
        QCOMPARE(program_->boxes->askedToSave, (std::vector<std::string>(2, "a.bmp")));
        child<QAction>(w, "undoAction")->trigger();
        QVERIFY(!w.isWindowModified());
        child<QAction>(w, "redoAction")->trigger();
        program_->boxes->saveChoices = {SaveChoice::Discard};
        QVERIFY(w.close());
        QVERIFY(w.hasShutDown());
    }

    void aLargePictureFillsTheScreenAndOpensFitted()
    {
        TempFolder folder;
        const std::string path = writeBmp(folder, "large.bmp", gradient24(3000, 2000));
        MainWindow& w = program_->mainWindow();
        const auto [pictureView, scrollArea] =
            childrenNamed<QtPictureView, QScrollArea>(w, "pictureView", "scrollArea");
        program_->dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        child<QAction>(w, "openAction")->trigger();
        QApplication::processEvents();
        QCOMPARE(w.frameGeometry(), w.screen()->availableGeometry());
        const Zoom fitted = w.commands().view().currentZoom();
        QVERIFY(fitted.reduces());
        QVERIFY(pictureView->width() <= scrollArea->viewport()->width());
        QVERIFY(pictureView->height() <= scrollArea->viewport()->height());
        QCOMPARE(child<QLabel>(w, "zoomLabel")->text(), QStringLiteral("Zoom %1%").arg(fitted.percent()));

        // The View menu's keys.
        QTest::keyClick(w.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(w.commands().view().currentZoom(), Zoom::actual());
        QCOMPARE(pictureView->size(), QSize(3000, 2000));
        QTest::keyClick(w.windowHandle(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(w.commands().view().currentZoom(), (Zoom{1, 2}));
        QTest::keyClick(w.windowHandle(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(w.commands().view().currentZoom(), Zoom::actual());
        QTest::keyClick(w.windowHandle(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(w.commands().view().currentZoom(), fitted);
        answerGridDialog(program_->gridDialog(), QStringLiteral("100")); // the keys of before keep their meaning
        QTest::keyClick(w.windowHandle(), Qt::Key_G);
        QVERIFY(program_->controlGrid().exists());

        // The wheel: with Ctrl it zooms, alone it scrolls down, with Shift
        // across.
        QWidget* const viewport = scrollArea->viewport();
        const auto turn = [viewport](Qt::KeyboardModifiers modifiers) {
            const QPointF at(50, 40);
            QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
        };
        child<QAction>(w, "actualSizeAction")->trigger();
        turn(Qt::NoModifier);
        QVERIFY(scrollArea->verticalScrollBar()->value() > 0);
        turn(Qt::ShiftModifier);
        QVERIFY(scrollArea->horizontalScrollBar()->value() > 0);
        turn(Qt::ControlModifier);
        QCOMPARE(w.commands().view().currentZoom(), (Zoom{1, 2}));
    }

    void openThroughTheDialogFitsTheWindowAndSaveWritesThePicture()
    {
        TempFolder folder;
        const Bitmap picture = gradient24(97, 50);
        const std::string path = writeBmp(folder, "gradient.bmp", picture);
        MainWindow& w = program_->mainWindow();
        auto* openAction = child<QAction>(w, "openAction");

        program_->dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        openAction->trigger();
        QVERIFY(program_->boxes->errors.empty());
        QVERIFY(program_->buffers().hasPicture());
        QCOMPARE(child<QtPictureView>(w, "pictureView")->size(), QSize(100, 50));
        // Contents: panel, picture and the scroll area's border.
        QCOMPARE(w.centralWidget()->size(), QSize(41 + 100 + 4, 50 + 4));
        QCOMPARE(child<QScrollArea>(w, "scrollArea")->viewport()->size(), QSize(100, 50));

        // The next open proposes the name chosen last.
        openAction->trigger();
        QCOMPARE(program_->dialogs->openRequests.back().fileName, path);

        const std::string saved = folder.file("saved.bmp");
        program_->dialogs->saveAnswers.push_back(FileDialogChoice{saved, 1});
        child<QAction>(w, "saveAsAction")->trigger();
        const FileDialogRequest& save = program_->dialogs->saveRequests.at(0);
        QVERIFY(filterText(save.filters).starts_with("BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"));
        QCOMPARE(save.fileName, path);
        QCOMPARE(save.filterIndex, 1);
        QCOMPARE(save.defaultExtension, std::string("bmp"));
        Picture written = openPicture(saved, BmpOnlyCodec()).picture;
        const Bitmap& bitmap = written.bitmap();
        QCOMPARE(bitmap.width(), 100);
        QCOMPARE(bitmap.height(), 50);
        for (int y = 0; y < 50; ++y) {
            QVERIFY(std::memcmp(bitmap.row(y), picture.row(y), 97 * 3) == 0);
            for (int x = 97; x < 100; ++x) QCOMPARE(int(bitmap.row(y)[3 * x] | bitmap.row(y)[3 * x + 1]), 0);
        }
    }

    void aFailedOpenIsShownAndTheProgramGoesOn()
    {
        MainWindow& w = program_->mainWindow();
        program_->dialogs->openAnswers.push_back(FileDialogChoice{"/nonexistent/photo.JPG", 2});
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(program_->boxes->errors.size(), std::size_t{1});
        QVERIFY(program_->boxes->errors[0].find("JPG") != std::string::npos);
        QVERIFY(!program_->buffers().hasPicture());
        QCOMPARE(w.frameGeometry(), QRect(190, 109, 337, 267));

        // Still working: the grid command runs.
        answerGridDialog(program_->gridDialog(), QStringLiteral("30"));
        QTest::mouseClick(child<QToolButton>(w, "gridButton"), Qt::LeftButton);
        QCOMPARE(program_->controlGrid().step(), 30);
    }

    void commandLineFileIsOpenedOnceTheLoopRuns()
    {
        program_.reset();
        auto dialogs = std::make_unique<FakeDialogs>();
        auto boxes = std::make_unique<RecordingBoxes>();
        RecordingBoxes* shown = boxes.get();
        ProgramWindows windows =
            createWindows(DialogServices{std::move(dialogs), std::move(boxes), std::make_unique<FakeSettings>()});
        startProgram(windows, QStringLiteral(PLEXOR_ASSETS_DIR "/sample.bmp"));
        QVERIFY(!windows.mainWindow->commands().buffers().hasPicture());
        QTRY_VERIFY(windows.mainWindow->commands().buffers().hasPicture());
        QCOMPARE(child<QtPictureView>(*windows.mainWindow, "pictureView")->size(), QSize(640, 480));
        QVERIFY(shown->errors.empty());

        auto missingBoxes = std::make_unique<RecordingBoxes>();
        RecordingBoxes* missingShown = missingBoxes.get();
        ProgramWindows missing = createWindows(
            DialogServices{std::make_unique<FakeDialogs>(), std::move(missingBoxes), std::make_unique<FakeSettings>()});
        startProgram(missing, QStringLiteral("/nonexistent/picture.bmp"));
        QTRY_COMPARE(missingShown->errors.size(), std::size_t{1});
        QCOMPARE(missingShown->errors[0], std::string("Cannot open file /nonexistent/picture.bmp"));
        QVERIFY(!missing.mainWindow->commands().buffers().hasPicture());
        QVERIFY(missing.mainWindow->isVisible());
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::MainWindowWidgetTest)
#include "app/bmp_only_codec.h"
#include "main_window_widget_test.moc"
