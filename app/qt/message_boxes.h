#pragma once

#include <string>

#include <QMessageBox>
#include <QPointer>

#include "app/message_sink.h"
#include "app/shell_ports.h"

namespace plexor {

// Every box the program shows that is no window of its own: the engine's
// and the picture exchange's messages, the error display for errors raised
// inside a command, and the information box. Tests put in their own, which
// show nothing.
class MessageBoxes : public MessageSink, public ErrorDisplay {
public:
    virtual void showInformation(const std::string& text) = 0;
    // "Save changes to NAME?" with Save, Discard and Cancel.
    virtual SaveChoice askToSaveChanges(const std::string& name) = 0;
};

// The title of the error display and of the information box.
inline constexpr const char* kProgramTitle = "Plexor";

// Qt's icon for a message's.
QMessageBox::Icon qtIcon(MessageIcon icon) noexcept;

// Modal message boxes over the main window; all have an OK button.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner) : owner_(owner) {}

    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void showError(const std::string& message) override;
    void showInformation(const std::string& text) override;
    SaveChoice askToSaveChanges(const std::string& name) override;

private:
    void show(QMessageBox::Icon icon, const QString& caption, const QString& text, const char* name);

    QPointer<QWidget> owner_;
};

} // namespace plexor
