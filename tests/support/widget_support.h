#pragma once

// What the window tests share: boxes that record instead of showing, a
// program started with scripted dialogs, the windows' widgets found by
// their object names, and ways to answer a modal dialog and to wait for the
// worker.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/qt/grid_dialog.h"
#include "app/qt/main_window.h"
#include "app/qt/startup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {

// The widget or menu item of `parent` (or of its children) named `name`,
// of type T. The window's widgets are its own; tests find them by their
// object names. A name no child has ends the test program, naming it.
template <typename T>
T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("%s has no %s named %s", parent.metaObject()->className(), T::staticMetaObject.className(), name);
    return found;
}

// The children of `parent` named `names`, in the order named, as child()
// finds each: with one type, all of that type in an array; with one type a
// name, each of its own in a tuple. Either way a structured binding names
// them on one line:
//     const auto [undo, redo] = childrenNamed<QAction>(w, "undoAction", "redoAction");
//     const auto [view, open] = childrenNamed<QtPictureView, QAction>(w, "pictureView", "openAction");
// (Not children(): a test is a QObject, whose own children() would hide it.)
template <typename... Ts, typename... Names>
auto childrenNamed(const QObject& parent, const Names&... names)
{
    static_assert(sizeof...(Ts) == 1 || sizeof...(Ts) == sizeof...(Names),
                  "one type for all the names, or one type a name");
    if constexpr (sizeof...(Ts) == 1) {
        using T = std::tuple_element_t<0, std::tuple<Ts...>>;
        return std::array<T*, sizeof...(Names)>{child<T>(parent, names)...};
    } else {
        return std::tuple<Ts*...>{child<Ts>(parent, names)...};
    }
}

class RecordingBoxes final : public MessageBoxes {
public:
    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override
    {
        messages.push_back({text, caption, icon});
    }
    void showError(const std::string& message) override { errors.push_back(message); }
    void showInformation(const std::string& text) override { information.push_back(text); }
    // Answers with the next queued choice; Cancel, as Escape does, when none.
    SaveChoice askToSaveChanges(const std::string& name) override
    {
        askedToSave.push_back(name);
        if (saveChoices.empty()) return SaveChoice::Cancel;
        const SaveChoice choice = saveChoices.front();
        saveChoices.erase(saveChoices.begin());
        return choice;
    }

    std::vector<RecordedMessage> messages;
    std::vector<SaveChoice> saveChoices;
    std::vector<std::string> askedToSave;
    std::vector<std::string> errors;
    std::vector<std::string> information;
};

// The program as start-up makes it, with file dialogs that answer from a
// script and boxes that record.
struct TestProgram {
    FakeDialogs* dialogs = nullptr;
    RecordingBoxes* boxes = nullptr;
    ProgramWindows windows;

    MainWindow& mainWindow() const { return *windows.mainWindow; }
    GridDialog& gridDialog() const { return *windows.gridDialog; }
    MainCommands& commands() const { return windows.mainWindow->commands(); }
    const PictureBuffers& buffers() const { return commands().buffers(); }
    const ControlGrid& controlGrid() const { return commands().controlGrid(); }
};

// Starts the program, keeping its settings in `settings` (in memory unless
// given), and waits until its window is shown; nothing when it is not shown
// in time.
std::unique_ptr<TestProgram> startTestProgram(std::unique_ptr<SettingsStore> settings = nullptr);

// A test of the window that starts the program afresh for each test
// function and ends it afterwards.
class ProgramTest : public QObject {
    Q_OBJECT

protected:
    // Starts the program; a test's own init() calls it first.
    void start();
    std::unique_ptr<TestProgram> program_;

private slots:
    void init() { start(); }
    void cleanup() { program_.reset(); }
};

// Runs `action` once `dialog` is shown, from inside its modal loop.
void whenShown(QWidget& dialog, std::function<void()> action, int triesLeft = 2000);

// Answers the next grid dialog: replaces the text of the edit box with
// `text` and presses Enter. Records the text it was shown with.
void answerGridDialog(GridDialog& dialog, const QString& text, QString* shownWith = nullptr);

// Plays the event loop until the worker sleeps with nothing left to do.
bool waitForWorker(TestProgram& program, int timeoutMs = 60000);

} // namespace plexor::test
