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

#include "app/qt/picture_control.h"
#include "platform/picture.h"
#include "tests/support/widget_support.h"

namespace plexor::test {

class MainWindowWidgetTest final : public ProgramTest {
    Q_OBJECT

private slots:
    void startsAtItsDesignedPlaceWithItsComponents()
    {
        TFMain& w = program_->FMain();
        QCOMPARE(w.windowTitle(), QStringLiteral("Plexor machine"));
        QCOMPARE(w.frameGeometry(), QRect(190, 109, 337, 267));

        // The panel fills the left edge of the client area between the menu
        // and the status bar.
        const QWidget* client = w.centralWidget();
        QCOMPARE(w.PLeft->geometry(), QRect(0, 0, 41, client->height()));
        QCOMPARE(client->geometry().bottom() + 1, w.statusBar()->geometry().top());
        QCOMPARE(w.ZoomLabel->text(), QStringLiteral("Zoom 100%"));
        QVERIFY(!w.ProgressLabel->isVisible());
        QCOMPARE(w.SBGrid->geometry(), QRect(6, 6, 25, 25));
        QCOMPARE(w.SBGrid->text(), QStringLiteral("#"));
        QCOMPARE(w.SBGrid->toolTip(), QStringLiteral("create new grid / new grid size"));
        QCOMPARE(w.SBDefault->geometry(), QRect(6, 40, 25, 25));
        QCOMPARE(w.SBDefault->text(), QStringLiteral("&R"));
        QCOMPARE(w.SBDefault->toolTip(), QStringLiteral("Reset the picture and the grid"));
        QCOMPARE(w.Image1->geometry(), QRect(3, 71, 33, 145));
        QCOMPARE(w.Image1->pixmap().size(), QSize(35, 142));

        // The scroll area takes the rest, with a 2-pixel sunken border and
        // the empty picture at its top-left corner.
        QCOMPARE(w.SB->geometry(), QRect(41, 0, client->width() - 41, client->height()));
        QCOMPARE(w.SB->frameWidth(), 2);
        QCOMPARE(w.SB->frameShadow(), QFrame::Sunken);
        QCOMPARE(w.SB->widget(), static_cast<QWidget*>(w.Image));
        QCOMPARE(w.Image->geometry(), QRect(0, 0, 0, 0));

        // Created with the window: the worker, asleep, and the grid step.
        QVERIFY(w.Commands().WorkerRunning());
        QCOMPARE(program_->Model().GridStepX, 48);
        QVERIFY(!program_->Model().ImageLoaded);
        QVERIFY(!program_->FGrid().isVisible());
    }

    void menuHoldsItsItemsAndShortcuts()
    {
        TFMain& w = program_->FMain();
        const QList<QAction*> menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 5);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Edit"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Grid"));
        QCOMPARE(menus[3]->text(), QStringLiteral("&View"));
        QCOMPARE(menus[4]->text(), QStringLiteral("&Help"));

        const QList<QAction*> file = w.MIFile->actions();
        QCOMPARE(file.size(), 6);
        QCOMPARE(file[0], w.MIOpen);
        QCOMPARE(file[1], w.MISaveAs);
        QCOMPARE(file[2], w.MIOpenGrid);
        QCOMPARE(file[3], w.MISaveGrid);
        QVERIFY(file[4]->isSeparator());
        QCOMPARE(file[5], w.MIExit);
        QCOMPARE(w.MIOpenGrid->text(), QStringLiteral("Open &grid..."));
        QCOMPARE(w.MISaveGrid->text(), QStringLiteral("Save g&rid..."));
        QVERIFY(!w.MIOpenGrid->isEnabled()); // no picture yet
        QVERIFY(!w.MISaveGrid->isEnabled());
        QCOMPARE(w.MIOpen->text(), QStringLiteral("&Open..."));
        QCOMPARE(w.MISaveAs->text(), QStringLiteral("&Save as..."));
        QCOMPARE(w.MIExit->text(), QStringLiteral("E&xit"));
        QCOMPARE(w.MIOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(w.MISaveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(w.MIExit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

        QCOMPARE(w.Grid1->actions(), QList<QAction*>{w.MIShow});
        QCOMPARE(w.MIShow->text(), QStringLiteral("&Show"));
        QVERIFY(w.MIShow->isCheckable());
        QVERIFY(!w.MIShow->isChecked());
        QCOMPARE(w.MIEdit->actions(), (QList<QAction*>{w.MIUndo, w.MIRedo}));
        QCOMPARE(w.MIUndo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(w.MIRedo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                             QKeySequence(QStringLiteral("Ctrl+Y"))}));
        QVERIFY(!w.MIUndo->isEnabled());
        QVERIFY(!w.MIRedo->isEnabled());
        QCOMPARE(w.MIView->actions(), (QList<QAction*>{w.MIZoomIn, w.MIZoomOut, w.MIFit, w.MIActualSize}));
        QCOMPARE(w.MIZoomIn->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))}));
        QCOMPARE(w.MIZoomOut->shortcut(), QKeySequence(QStringLiteral("Ctrl+-")));
        QCOMPARE(w.MIFit->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
        QCOMPARE(w.MIActualSize->shortcut(), QKeySequence(QStringLiteral("Ctrl+1")));
        QCOMPARE(w.MIHelp->actions(), QList<QAction*>{w.MIAbout});
        QCOMPARE(w.MIAbout->text(), QStringLiteral("&About"));
    }

    void shortcutsReachTheFileCommands()
    {
        TFMain& w = program_->FMain();
        QTest::keyClick(w.windowHandle(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(program_->Dialogs->openRequests.size(), std::size_t{1});
        const FileDialogRequest& open = program_->Dialogs->openRequests[0];
        // Every format the codec reads is offered, all of them together first.
        QVERIFY(open.Filter.starts_with("All pictures (*.bmp;*.png;"));
        QVERIFY(open.Filter.ends_with("|GIF pictures (*.gif)|*.gif|All files (*.*)|*.*"));
        QCOMPARE(open.FileName, std::string("matrix.bmp"));
        QCOMPARE(open.FilterIndex, 1);
        QCOMPARE(open.DefaultExtension, std::string("bmp"));

        // Save asks nothing before a picture is open.
        QTest::keyClick(w.windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(program_->Dialogs->saveRequests.empty());

        QTest::keyClick(w.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
        QVERIFY(w.ShutDown());
        QVERIFY(!w.Commands().WorkerRunning());
    }

    // What the commands do is their own tests' concern; here, that the menu
    // reaches them and shows their state.
    void menuItemsReachTheirCommands()
    {
        TFMain& w = program_->FMain();
        w.MIShow->trigger();
        QVERIFY(w.MIShow->isChecked());
        QVERIFY(w.Commands().ShowChecked());
        w.MIShow->trigger();
        QVERIFY(!w.MIShow->isChecked());
        w.MIAbout->trigger();
        QCOMPARE(program_->Boxes->information, std::vector<std::string>{MainCommands::kAboutText});
        QVERIFY(program_->Boxes->errors.empty());
    }

    void theEditMenuFollowsTheHistory()
    {
        TempFolder folder;
        TFMain& w = program_->FMain();
        program_->Dialogs->openAnswers.push_back(FileDialogChoice{WriteBmp(folder, "a.bmp", Gradient24(96, 96)), 1});
        w.MIOpen->trigger();
        AnswerGridDialog(program_->FGrid(), QStringLiteral("24"));
        QTest::keyClick(&w, 'g');
        QVERIFY(w.MIUndo->isEnabled());
        QCOMPARE(w.MIUndo->text(), QStringLiteral("Undo Grid"));
        QVERIFY(!w.MIRedo->isEnabled());
        QVERIFY(w.MISaveGrid->isEnabled());

        // Back from the grid dialog, the window takes the keys again.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!program_->Model().GridExists());
        QVERIFY(!w.MIUndo->isEnabled());
        QCOMPARE(w.MIRedo->text(), QStringLiteral("Redo Grid"));
        QTest::keyClick(w.windowHandle(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(program_->Model().GridExists());
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(program_->Model().GridExists());
        QCOMPARE(w.MIUndo->text(), QStringLiteral("Undo Grid"));

        // The grid as a file, laid again by Open grid once it is undone.
        const std::string kept = folder.File("a.grid");
        program_->Dialogs->saveAnswers.push_back(FileDialogChoice{kept, 1});
        w.MISaveGrid->trigger();
        QCOMPARE(program_->Dialogs->saveRequests.back().FileName, kept);
        w.MIUndo->trigger();
        QVERIFY(!w.MISaveGrid->isEnabled());
        program_->Dialogs->openAnswers.push_back(FileDialogChoice{kept, 1});
        w.MIOpenGrid->trigger();
        QVERIFY(program_->Dialogs->openRequests.back().Filter.starts_with("Grid files (*.grid)|*.grid"));
        QVERIFY(program_->Model().GridExists());
        QCOMPARE(w.MIUndo->text(), QStringLiteral("Undo Open Grid"));
    }

    void aLargePictureFillsTheScreenAndOpensFitted()
    {
        TempFolder folder;
        const std::string path = WriteBmp(folder, "large.bmp", Gradient24(3000, 2000));
        TFMain& w = program_->FMain();
        program_->Dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        w.MIOpen->trigger();
        QApplication::processEvents();
        QCOMPARE(w.frameGeometry(), w.screen()->availableGeometry());
        const Zoom fitted = w.Commands().CurrentZoom();
        QVERIFY(fitted.Reduces());
        QVERIFY(w.Image->width() <= w.SB->viewport()->width());
        QVERIFY(w.Image->height() <= w.SB->viewport()->height());
        QCOMPARE(w.ZoomLabel->text(), QStringLiteral("Zoom %1%").arg(fitted.Percent()));

        // The View menu's keys.
        QTest::keyClick(w.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(w.Commands().CurrentZoom(), Zoom::Actual());
        QCOMPARE(w.Image->size(), QSize(3000, 2000));
        QTest::keyClick(w.windowHandle(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(w.Commands().CurrentZoom(), (Zoom{1, 2}));
        QTest::keyClick(w.windowHandle(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(w.Commands().CurrentZoom(), Zoom::Actual());
        QTest::keyClick(w.windowHandle(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(w.Commands().CurrentZoom(), fitted);
        AnswerGridDialog(program_->FGrid(), QStringLiteral("100")); // the keys of before keep their meaning
        QTest::keyClick(w.windowHandle(), Qt::Key_G);
        QVERIFY(program_->Model().GridExists());

        // The wheel: with Ctrl it zooms, alone it scrolls down, with Shift
        // across.
        const auto turn = [&](Qt::KeyboardModifiers modifiers) {
            const QPointF at(50, 40);
            QWheelEvent wheel(at, w.SB->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(w.SB->viewport(), &wheel);
        };
        w.MIActualSize->trigger();
        turn(Qt::NoModifier);
        QVERIFY(w.SB->verticalScrollBar()->value() > 0);
        turn(Qt::ShiftModifier);
        QVERIFY(w.SB->horizontalScrollBar()->value() > 0);
        turn(Qt::ControlModifier);
        QCOMPARE(w.Commands().CurrentZoom(), (Zoom{1, 2}));
    }

    void openThroughTheDialogFitsTheWindowAndSaveWritesThePicture()
    {
        TempFolder folder;
        const TBitmap picture = Gradient24(97, 50);
        const std::string path = WriteBmp(folder, "gradient.bmp", picture);
        TFMain& w = program_->FMain();

        program_->Dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        w.MIOpen->trigger();
        QVERIFY(program_->Boxes->errors.empty());
        QVERIFY(program_->Model().ImageLoaded);
        QCOMPARE(w.Image->size(), QSize(100, 50));
        // Client area: panel, picture and the scroll area's border.
        QCOMPARE(w.centralWidget()->size(), QSize(41 + 100 + 4, 50 + 4));
        QCOMPARE(w.SB->viewport()->size(), QSize(100, 50));

        // The next open proposes the name chosen last.
        w.MIOpen->trigger();
        QCOMPARE(program_->Dialogs->openRequests.back().FileName, path);

        const std::string saved = folder.File("saved.bmp");
        program_->Dialogs->saveAnswers.push_back(FileDialogChoice{saved, 1});
        w.MISaveAs->trigger();
        const FileDialogRequest& save = program_->Dialogs->saveRequests.at(0);
        QVERIFY(save.Filter.starts_with("BMP pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|"));
        QCOMPARE(save.FileName, path);
        QCOMPARE(save.FilterIndex, 1);
        QCOMPARE(save.DefaultExtension, std::string("bmp"));
        TPicture written;
        written.LoadFromFile(saved);
        const TBitmap& bitmap = written.Bitmap();
        QCOMPARE(bitmap.Width(), 100);
        QCOMPARE(bitmap.Height(), 50);
        for (int y = 0; y < 50; ++y) {
            QVERIFY(std::memcmp(bitmap.Row(y), picture.Row(y), 97 * 3) == 0);
            for (int x = 97; x < 100; ++x) QCOMPARE(int(bitmap.Row(y)[3 * x] | bitmap.Row(y)[3 * x + 1]), 0);
        }
    }

    void aFailedOpenIsShownAndTheProgramGoesOn()
    {
        TFMain& w = program_->FMain();
        program_->Dialogs->openAnswers.push_back(FileDialogChoice{"/nonexistent/photo.JPG", 2});
        w.MIOpen->trigger();
        QCOMPARE(program_->Boxes->errors.size(), std::size_t{1});
        QVERIFY(program_->Boxes->errors[0].find("JPG") != std::string::npos);
        QVERIFY(!program_->Model().ImageLoaded);
        QCOMPARE(w.frameGeometry(), QRect(190, 109, 337, 267));

        // Still working: the grid command runs.
        AnswerGridDialog(program_->FGrid(), QStringLiteral("30"));
        QTest::mouseClick(w.SBGrid, Qt::LeftButton);
        QCOMPARE(program_->Model().GridStepX, 30);
    }

    void commandLineFileIsOpenedOnceTheLoopRuns()
    {
        program_.reset();
        auto dialogs = std::make_unique<FakeDialogs>();
        auto boxes = std::make_unique<RecordingBoxes>();
        RecordingBoxes* shown = boxes.get();
        ProgramWindows windows = CreateWindows(DialogServices{std::move(dialogs), std::move(boxes)});
        StartProgram(windows, QStringLiteral(PLEXOR_ASSETS_DIR "/sample.bmp"));
        QVERIFY(!windows.FMain->Commands().Model().ImageLoaded);
        QTRY_VERIFY(windows.FMain->Commands().Model().ImageLoaded);
        QCOMPARE(windows.FMain->Image->size(), QSize(640, 480));
        QVERIFY(shown->errors.empty());

        auto missingBoxes = std::make_unique<RecordingBoxes>();
        RecordingBoxes* missingShown = missingBoxes.get();
        ProgramWindows missing =
            CreateWindows(DialogServices{std::make_unique<FakeDialogs>(), std::move(missingBoxes)});
        StartProgram(missing, QStringLiteral("/nonexistent/picture.bmp"));
        QTRY_COMPARE(missingShown->errors.size(), std::size_t{1});
        QCOMPARE(missingShown->errors[0], std::string("Cannot open file /nonexistent/picture.bmp"));
        QVERIFY(!missing.FMain->Commands().Model().ImageLoaded);
        QVERIFY(missing.FMain->isVisible());
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::MainWindowWidgetTest)
#include "main_window_widget_test.moc"
