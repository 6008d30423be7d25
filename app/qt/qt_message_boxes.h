#pragma once

#include <string>

#include <QMessageBox>
#include <QPointer>

#include "app/qt/message_boxes.h"

namespace plexor {

// Modal message boxes over the main window; all have an OK button. The
// error display and the information box are titled "Plexor".
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
