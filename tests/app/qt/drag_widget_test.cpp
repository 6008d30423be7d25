// A drag done with the mouse on the picture view gives, once the worker
// has finished and the view is saved, the very file that the same presses,
// moves and releases give when made straight on the commands.

#include <algorithm>
#include <deque>

#include <QLabel>

#include "app/picture_files.h"
#include "app/qt/qt_picture_view.h"
#include "platform/picture.h"
#include "tests/support/widget_support.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

const char* const kSample = PLEXOR_ASSETS_DIR "/sample.bmp";

// One gesture: a press, moves, a release, in picture pixels.
struct Gesture {
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
};

// Through the commands, without any window: the expected file.
std::vector<std::uint8_t> saveThroughCommands(const std::vector<Gesture>& gestures, const std::string& step,
                                              const std::string& path)
{
    FakeShell shell;
    shell.grid.answers.push_back(step);
    MainCommands commands(shell.ports());
    commands.start();
    if (!commands.document().openFile(kSample)) return {};
    commands.grid().layNewGrid();
    for (const Gesture& g : gestures) {
        commands.mouse().press(g.press.x(), g.press.y());
        for (const QPoint& at : g.moves) commands.mouse().move(at.x(), at.y());
        commands.mouse().release(g.release.x(), g.release.y());
        if (!serveUntilIdle(commands.worker())) return {};
    }
    shell.dialogs.saveAnswers.push_back(FileDialogChoice{path, 1});
    commands.document().savePictureAs();
    commands.shutDown();
    return readBytes(path);
}

} // namespace

class DragWidgetTest final : public ProgramTest {
    Q_OBJECT

private slots:
    void mouseDragGivesTheSameFileAsTheCommands()
    {
        MainWindow& w = program_->mainWindow();
        const auto [pictureView, saveAsAction] =
            childrenNamed<QtPictureView, QAction>(w, "pictureView", "saveAsAction");
        TempFolder folder;
        program_->dialogs->openAnswers.push_back(FileDialogChoice{kSample, 1});
        child<QAction>(w, "openAction")->trigger();
        QCOMPARE(pictureView->size(), QSize(640, 480));
        const std::string undeformed = folder.file("undeformed.bmp");
        program_->dialogs->saveAnswers.push_back(FileDialogChoice{undeformed, 1});
        saveAsAction->trigger();

        answerGridDialog(program_->gridDialog(), QStringLiteral("48"));
        QTest::keyClick(&w, 'g');
        const ControlGrid& grid = program_->controlGrid();
        const ControlPointDrag& drag = program_->commands().mouse().drag();
        QVERIFY(grid.exists());

        // Two points whose cells overlap, each moved within a step. The
        // worker finishes each batch before the next gesture, as it does
        // below: a point moved while the worker reads it, or a drag handed
        // over while the worker deforms, would make the result depend on
        // timing.
        const ControlPoint& a = grid.point(3, 2);
        const ControlPoint& b = grid.point(6, 5);
        // Each press lies at the edge of the reach of its point, 4 pixels
        // off in x and in y: a pixel more either way would pick nothing.
        const QPoint pa(a.x + 4, a.y - 4);
        const QPoint pb(b.x - 4, b.y + 4);
        const std::vector<Gesture> gestures{
            {pa, {pa + QPoint(6, 4), pa + QPoint(14, 9), pa + QPoint(21, 17)}, pa + QPoint(21, 17)},
            {pb,
             {pb + QPoint(-10, 5), pb + QPoint(-30, 12), pb + QPoint(-41, 20), pb + QPoint(-47, 22)},
             pb + QPoint(-47, 22)},
        };
        for (const Gesture& g : gestures) {
            QTest::mousePress(pictureView, Qt::LeftButton, {}, g.press);
            QVERIFY(drag.dragging());
            for (const QPoint& at : g.moves) QTest::mouseMove(pictureView, at);
            QTest::mouseRelease(pictureView, Qt::LeftButton, {}, g.release);
            QVERIFY(!drag.dragging());
            QVERIFY(QWidget::mouseGrabber() == nullptr);
            QVERIFY(waitForWorker(*program_));
        }

        const std::string shown = folder.file("shown.bmp");
        program_->dialogs->saveAnswers.push_back(FileDialogChoice{shown, 1});
        saveAsAction->trigger();
        QVERIFY(program_->boxes->errors.empty());

        const std::vector<std::uint8_t> expected = saveThroughCommands(gestures, "48", folder.file("expected.bmp"));
        const std::vector<std::uint8_t> actual = readBytes(shown);
        QVERIFY(!expected.empty());
        QCOMPARE(actual.size(), expected.size());
        const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin());
        QVERIFY2(differ.first == actual.end(), qPrintable(QStringLiteral("the files differ first at byte %1 of %2")
                                                              .arg(differ.first - actual.begin())
                                                              .arg(actual.size())));
        // The drag did change the picture.
        QVERIFY(actual != readBytes(undeformed));

        // And what the view shows is what was saved.
        Picture saved = openPicture(shown, BmpOnlyCodec()).picture;
        const QImage onScreen = pictureView->painter().topDownImage();
        for (int y = 0; y < 480; y += 7)
            for (int x = 0; x < 640; x += 5) {
                const std::uint8_t* p = saved.bitmap().row(y) + 3 * x;
                QCOMPARE(onScreen.pixel(x, y), qRgb(p[2], p[1], p[0]));
            }

        // The reset button puts the points back.
        QVERIFY(a.dx != 0);
        QTest::mouseClick(child<QToolButton>(w, "resetButton"), Qt::LeftButton);
        QCOMPARE(a.dx.load(), 0);
        QCOMPARE(b.dy.load(), 0);
    }

    // With Live Preview on, as it starts, the view shows the deformed picture
    // while the button is still held, and once the moves stop it shows what
    // the release then leaves; Live Preview off, it shows only the overlay
    // moving, as before.
    void theViewFollowsTheDragWhileTheButtonIsHeld()
    {
        MainWindow& w = program_->mainWindow();
        const auto [pictureView, livePreview] =
            childrenNamed<QtPictureView, QAction>(w, "pictureView", "livePreviewAction");
        QVERIFY(livePreview->isChecked());
        program_->dialogs->openAnswers.push_back(FileDialogChoice{kSample, 1});
        child<QAction>(w, "openAction")->trigger();
        answerGridDialog(program_->gridDialog(), QStringLiteral("48"));
        QTest::keyClick(&w, 'g');
        child<QAction>(w, "showGridAction")->trigger(); // the picture alone
        QVERIFY(waitForWorker(*program_));
        const QImage before = pictureView->painter().topDownImage();
        const ControlPoint& p = program_->controlGrid().point(5, 4);
        const QPoint at(p.x, p.y);

        QTest::mousePress(pictureView, Qt::LeftButton, {}, at);
        QTest::mouseMove(pictureView, at + QPoint(20, 13));
        QVERIFY(waitForWorker(*program_));
        QApplication::processEvents();
        const QImage held = pictureView->painter().topDownImage();
        QVERIFY(held != before);
        QTest::mouseRelease(pictureView, Qt::LeftButton, {}, at + QPoint(20, 13));
        QVERIFY(waitForWorker(*program_));
        QApplication::processEvents();
        QCOMPARE(pictureView->painter().topDownImage(), held);

        livePreview->trigger();
        QVERIFY(!livePreview->isChecked());
        const QImage released = pictureView->painter().topDownImage();
        QTest::mousePress(pictureView, Qt::LeftButton, {}, at + QPoint(20, 13));
        QTest::mouseMove(pictureView, at);
        QVERIFY(waitForWorker(*program_));
        QCOMPARE(pictureView->painter().topDownImage(), released);
        QTest::mouseRelease(pictureView, Qt::LeftButton, {}, at);
        QVERIFY(waitForWorker(*program_));
    }

    // The keys, the modifiers and the menu items reach the commands: Ctrl+click
    // and Ctrl+A choose points, the arrow keys nudge them, Escape drops the
    // choice, Ctrl+Shift+G lays a grid over the result; the status bar reads
    // out the point under the pointer.
    void keysAndMenusChooseAndMovePoints()
    {
        MainWindow& w = program_->mainWindow();
        const auto [pictureView, undoAction] = childrenNamed<QtPictureView, QAction>(w, "pictureView", "undoAction");
        program_->dialogs->openAnswers.push_back(FileDialogChoice{kSample, 1});
        child<QAction>(w, "openAction")->trigger();
        answerGridDialog(program_->gridDialog(), QStringLiteral("48"));
        QTest::keyClick(&w, 'g');
        const ControlGrid& grid = program_->controlGrid();
        const ControlPoint& a = grid.point(3, 2);
        const QPoint at(a.x, a.y);

        QTest::mouseMove(pictureView, at + QPoint(1, 1));
        QCOMPARE(child<QLabel>(w, "pointLabel")->text(), QStringLiteral("Point 3, 2 moved 0, 0"));
        QTest::mouseClick(pictureView, Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(grid.selection().size(), std::size_t{1});
        QVERIFY(grid.selection().contains(grid.index(3, 2)));
        QVERIFY(child<QAction>(w, "selectNoneAction")->isEnabled());

        w.activateWindow(); // the grid dialog had it
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.windowHandle(), Qt::Key_A, Qt::ControlModifier);
        const std::size_t interior = std::size_t(grid.shape().pointCols - 2) * std::size_t(grid.shape().pointRows - 2);
        QCOMPARE(grid.selection().size(), interior);
        QTest::keyClick(w.windowHandle(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w.windowHandle(), Qt::Key_Up);
        QVERIFY(waitForWorker(*program_));
        QCOMPARE(a.dx.load(), 10);
        QCOMPARE(a.dy.load(), -1);
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Nudge"));

        QTest::keyClick(w.windowHandle(), Qt::Key_Escape);
        QVERIFY(grid.selection().empty());
        QTest::keyClick(w.windowHandle(), Qt::Key_Right); // no choice: the points stay
        QCOMPARE(a.dx.load(), 10);

        answerGridDialog(program_->gridDialog(), QStringLiteral("24"));
        QTest::keyClick(w.windowHandle(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(grid.step(), 24);
        QCOMPARE(grid.earlierPasses().size(), std::size_t{1});
        QCOMPARE(undoAction->text(), QStringLiteral("Undo Grid over Result"));
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::DragWidgetTest)
#include "app/bmp_only_codec.h"
#include "drag_widget_test.moc"
