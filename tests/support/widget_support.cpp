#include "tests/support/widget_support.h"

namespace plexor::test {

std::unique_ptr<TestProgram> StartTestProgram()
{
    auto dialogs = std::make_unique<FakeDialogs>();
    auto boxes = std::make_unique<RecordingBoxes>();
    auto program = std::make_unique<TestProgram>();
    program->Dialogs = dialogs.get();
    program->Boxes = boxes.get();
    program->Windows = CreateWindows(DialogServices{std::move(dialogs), std::move(boxes)});
    StartProgram(program->Windows, QString());
    if (!QTest::qWaitForWindowExposed(&program->FMain())) return nullptr;
    QApplication::processEvents(); // the designed bounds, once shown
    return program;
}

void ProgramTest::Start()
{
    program_ = StartTestProgram();
    QVERIFY(program_ != nullptr);
}

void WhenShown(QWidget& dialog, std::function<void()> action, int triesLeft)
{
    QTimer::singleShot(dialog.isVisible() ? 0 : 1, &dialog, [&dialog, action = std::move(action), triesLeft] {
        if (dialog.isVisible())
            action();
        else if (triesLeft > 0)
            WhenShown(dialog, action, triesLeft - 1);
    });
}

void AnswerGridDialog(TFGrid& dialog, const QString& text, QString* shownWith)
{
    WhenShown(dialog, [&dialog, text, shownWith] {
        if (shownWith != nullptr) *shownWith = dialog.SE->text();
        dialog.SE->selectAll();
        QTest::keyClicks(dialog.SE, text);
        QTest::keyClick(dialog.SE, Qt::Key_Return);
    });
}

bool WaitForWorker(TestProgram& program, int timeoutMs)
{
    return QTest::qWaitFor([&] { return program.FMain().Commands().Worker().Idle(); }, timeoutMs);
}

} // namespace plexor::test
