// Closing the main window while the worker is busy, or while it waits for
// the window to refresh, ends the program cleanly: shutDown serves the
// waiting refresh itself, and a call queued to the event loop that arrives
// afterwards does nothing.

#include <chrono>
#include <thread>

#include "app/qt/qt_picture_view.h"
#include "tests/support/widget_support.h"

namespace plexor::test {
namespace {

using namespace std::chrono_literals;

} // namespace

class ShutdownWidgetTest final : public ProgramTest {
    Q_OBJECT

private slots:
    void init()
    {
        start();
        QVERIFY(program_ != nullptr);
        // A large picture and a fine grid: a drag queues plenty of work.
        const std::string path = writeBmp(folder_, "large.bmp", gradient24(1600, 1200));
        program_->dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        child<QAction>(program_->mainWindow(), "openAction")->trigger();
        QVERIFY(program_->buffers().hasPicture());
        answerGridDialog(program_->gridDialog(), QStringLiteral("12"));
        QTest::mouseClick(child<QToolButton>(program_->mainWindow(), "gridButton"), Qt::LeftButton);
        QVERIFY(program_->controlGrid().exists());
    }
    void closingWhileTheWorkerIsBusy()
    {
        MainWindow& w = program_->mainWindow();
        auto* pictureView = child<QtPictureView>(w, "pictureView");
        const ControlGrid& grid = program_->controlGrid();
        const CellQueue& queue = program_->commands().cellWork().queue();
        // Many points, each moved a little: batch after batch.
        for (int r = 2; r < 40; r += 3) {
            for (int c = 2; c < 50; c += 3) {
                const ControlPoint& p = grid.point(c, r);
                QTest::mousePress(pictureView, Qt::LeftButton, {}, QPoint(p.x, p.y));
                QTest::mouseMove(pictureView, QPoint(p.x + 4, p.y - 3));
                QTest::mouseRelease(pictureView, Qt::LeftButton, {}, QPoint(p.x + 4, p.y - 3));
            }
        }
        QVERIFY(queue.size() > 0);
        const auto started = std::chrono::steady_clock::now();
        program_->boxes->saveChoices.push_back(SaveChoice::Discard);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(!w.commands().workerControl().running());
        QCOMPARE(queue.size(), std::size_t{0});
        // The queue was emptied, not worked off.
        QVERIFY(std::chrono::steady_clock::now() - started < 10s);

        // Calls the worker queued before it ended arrive now and do nothing.
        QApplication::processEvents();
        QVERIFY(w.hasShutDown());
        // Events after the close reach no command.
        QTest::keyClick(&w, 'g');
        QVERIFY(!program_->gridDialog().isVisible());
    }

    void closingWhileARefreshIsPending()
    {
        MainWindow& w = program_->mainWindow();
        auto* pictureView = child<QtPictureView>(w, "pictureView");
        const ControlGrid& grid = program_->controlGrid();
        const ControlPoint& p = grid.point(5, 5);
        const int posted = w.workerCallsPosted();
        QTest::mousePress(pictureView, Qt::LeftButton, {}, QPoint(p.x, p.y));
        QTest::mouseMove(pictureView, QPoint(p.x + 5, p.y + 5));
        QTest::mouseRelease(pictureView, Qt::LeftButton, {}, QPoint(p.x + 5, p.y + 5));

        // Without running the event loop, wait for the worker to ask for
        // its refresh: it now waits for the window.
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (w.workerCallsPosted() == posted && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        QCOMPARE(w.workerCallsPosted(), posted + 1);

        // The worker ends only once the refresh it waits for has run: the
        // shut-down ran it.
        program_->boxes->saveChoices.push_back(SaveChoice::Discard);
        QVERIFY(w.close());
        QVERIFY(!w.commands().workerControl().running());
        const int after = pictureView->repaintCount();
        QApplication::processEvents();
        QCOMPARE(pictureView->repaintCount(), after);
    }

    void aCallQueuedToADestroyedWindowIsDropped()
    {
        MainWindow& w = program_->mainWindow();
        auto* pictureView = child<QtPictureView>(w, "pictureView");
        const ControlPoint& p = program_->controlGrid().point(7, 7);
        const int posted = w.workerCallsPosted();
        QTest::mousePress(pictureView, Qt::LeftButton, {}, QPoint(p.x, p.y));
        QTest::mouseRelease(pictureView, Qt::LeftButton, {}, QPoint(p.x + 3, p.y));
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (w.workerCallsPosted() == posted && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        QCOMPARE(w.workerCallsPosted(), posted + 1);
        // Destroyed without a close: the destructor shuts down first.
        program_.reset();
        QApplication::processEvents();
    }

private:
    TempFolder folder_;
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::ShutdownWidgetTest)
#include "shutdown_widget_test.moc"
