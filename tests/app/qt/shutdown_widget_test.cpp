// Closing the main window while the worker is busy, or while it waits for
// the window to refresh, ends the program cleanly: FormDestroy serves the
// waiting refresh itself, and a call queued to the event loop that arrives
// afterwards does nothing.

#include <chrono>
#include <thread>

#include "app/qt/picture_control.h"
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
        Start();
        QVERIFY(program_ != nullptr);
        // A large picture and a fine grid: a drag queues plenty of work.
        const std::string path = WriteBmp(folder_, "large.bmp", Gradient24(1600, 1200));
        program_->Dialogs->openAnswers.push_back(FileDialogChoice{path, 1});
        program_->FMain().MIOpen->trigger();
        QVERIFY(program_->Model().ImageLoaded);
        AnswerGridDialog(program_->FGrid(), QStringLiteral("12"));
        QTest::mouseClick(program_->FMain().SBGrid, Qt::LeftButton);
        QVERIFY(program_->Model().GridExists());
    }
    void closingWhileTheWorkerIsBusy()
    {
        TFMain& w = program_->FMain();
        const DeformModel& model = program_->Model();
        // Many points, each moved a little: batch after batch.
        for (int r = 2; r < 40; r += 3) {
            for (int c = 2; c < 50; c += 3) {
                const TControlPoint& p = model.Point(c, r);
                QTest::mousePress(w.Image, Qt::LeftButton, {}, QPoint(p.X, p.Y));
                QTest::mouseMove(w.Image, QPoint(p.X + 4, p.Y - 3));
                QTest::mouseRelease(w.Image, Qt::LeftButton, {}, QPoint(p.X + 4, p.Y - 3));
            }
        }
        QVERIFY(model.CellQueue.Size() > 0);
        const auto started = std::chrono::steady_clock::now();
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Commands().WorkerRunning());
        QCOMPARE(model.CellQueue.Size(), std::size_t{0});
        // The queue was emptied, not worked off.
        QVERIFY(std::chrono::steady_clock::now() - started < 10s);

        // Calls the worker queued before it ended arrive now and do nothing.
        QApplication::processEvents();
        QVERIFY(w.ShutDown());
        // Events after the close reach no command.
        QTest::keyClick(&w, 'g');
        QVERIFY(!program_->FGrid().isVisible());
    }

    void closingWhileARefreshIsPending()
    {
        TFMain& w = program_->FMain();
        const DeformModel& model = program_->Model();
        const TControlPoint& p = model.Point(5, 5);
        const int posted = w.WorkerCallsPosted();
        QTest::mousePress(w.Image, Qt::LeftButton, {}, QPoint(p.X, p.Y));
        QTest::mouseMove(w.Image, QPoint(p.X + 5, p.Y + 5));
        QTest::mouseRelease(w.Image, Qt::LeftButton, {}, QPoint(p.X + 5, p.Y + 5));

        // Without running the event loop, wait for the worker to ask for
        // its refresh: it now waits for the window.
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (w.WorkerCallsPosted() == posted && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        QCOMPARE(w.WorkerCallsPosted(), posted + 1);

        // The worker ends only once the refresh it waits for has run: the
        // shut-down ran it.
        QVERIFY(w.close());
        QVERIFY(!w.Commands().WorkerRunning());
        const int after = w.Image->RepaintCount();
        QApplication::processEvents();
        QCOMPARE(w.Image->RepaintCount(), after);
    }

    void aCallQueuedToADestroyedWindowIsDropped()
    {
        TFMain& w = program_->FMain();
        const TControlPoint& p = program_->Model().Point(7, 7);
        const int posted = w.WorkerCallsPosted();
        QTest::mousePress(w.Image, Qt::LeftButton, {}, QPoint(p.X, p.Y));
        QTest::mouseRelease(w.Image, Qt::LeftButton, {}, QPoint(p.X + 3, p.Y));
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (w.WorkerCallsPosted() == posted && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        QCOMPARE(w.WorkerCallsPosted(), posted + 1);
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
