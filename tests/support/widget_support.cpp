#include "tests/support/widget_support.h"

namespace plexor::test {

std::unique_ptr<TestProgram> startTestProgram(std::unique_ptr<SettingsStore> settings)
{
    if (!settings) settings = std::make_unique<FakeSettings>();
    auto dialogs = std::make_unique<FakeDialogs>();
    auto boxes = std::make_unique<RecordingBoxes>();
    auto program = std::make_unique<TestProgram>();
    program->dialogs = dialogs.get();
    program->boxes = boxes.get();
    program->windows = createWindows(DialogServices{std::move(dialogs), std::move(boxes), std::move(settings)});
    startProgram(program->windows, QString());
    if (!QTest::qWaitForWindowExposed(&program->mainWindow())) return nullptr;
    QApplication::processEvents(); // the start geometry, once shown
    return program;
}

void ProgramTest::start()
{
    program_ = startTestProgram();
    QVERIFY(program_ != nullptr);
}

void whenShown(QWidget& dialog, std::function<void()> action, int triesLeft)
{
    QTimer::singleShot(dialog.isVisible() ? 0 : 1, &dialog, [&dialog, action = std::move(action), triesLeft] {
        if (dialog.isVisible())
            action();
        else if (triesLeft > 0)
            whenShown(dialog, action, triesLeft - 1);
    });
}

void answerGridDialog(GridDialog& dialog, const QString& text, QString* shownWith)
{
    whenShown(dialog, [&dialog, text, shownWith] {
        auto* edit = child<QLineEdit>(dialog, "stepEdit");
        if (shownWith != nullptr) *shownWith = edit->text();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

bool waitForWorker(TestProgram& program, int timeoutMs)
{
    return QTest::qWaitFor([&] { return program.mainWindow().commands().worker().idle(); }, timeoutMs);
}

} // namespace plexor::test
