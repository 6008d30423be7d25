#pragma once

// What the window tests share: boxes that record instead of showing, a
// program started with scripted dialogs, and ways to answer a modal dialog
// and to wait for the worker.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/qt/grid_dialog.h"
#include "app/qt/main_window.h"
#include "app/qt/startup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {

class RecordingBoxes final : public MessageBoxes {
public:
    void ShowMessage(const std::string& text, const std::string& caption, int style) override
    {
        messages.push_back({text, caption, style});
    }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowInformation(const std::string& text) override { information.push_back(text); }

    std::vector<RecordedMessage> messages;
    std::vector<std::string> errors;
    std::vector<std::string> information;
};

// The program as start-up makes it, with file dialogs that answer from a
// script and boxes that record.
struct TestProgram {
    FakeDialogs* Dialogs = nullptr;
    RecordingBoxes* Boxes = nullptr;
    ProgramWindows Windows;

    TFMain& FMain() const { return *Windows.FMain; }
    TFGrid& FGrid() const { return *Windows.FGrid; }
    DeformModel& Model() const { return Windows.FMain->Commands().Model(); }
};

inline std::unique_ptr<TestProgram> StartTestProgram()
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

// Runs `action` once `dialog` is shown, from inside its modal loop.
inline void WhenShown(QWidget& dialog, std::function<void()> action, int triesLeft = 2000)
{
    QTimer::singleShot(dialog.isVisible() ? 0 : 1, &dialog, [&dialog, action = std::move(action), triesLeft] {
        if (dialog.isVisible())
            action();
        else if (triesLeft > 0)
            WhenShown(dialog, action, triesLeft - 1);
    });
}

// Answers the next grid dialog: replaces the text of the edit box with
// `text` and presses Enter. Records the text it was shown with.
inline void AnswerGridDialog(TFGrid& dialog, const QString& text, QString* shownWith = nullptr)
{
    WhenShown(dialog, [&dialog, text, shownWith] {
        if (shownWith != nullptr) *shownWith = dialog.SE->text();
        dialog.SE->selectAll();
        QTest::keyClicks(dialog.SE, text);
        QTest::keyClick(dialog.SE, Qt::Key_Return);
    });
}

// Plays the event loop until the worker has emptied its queue.
inline bool WaitForWorker(TestProgram& program, int timeoutMs = 60000)
{
    return QTest::qWaitFor([&] { return program.FMain().Commands().Worker().Idle(); }, timeoutMs);
}

} // namespace plexor::test
