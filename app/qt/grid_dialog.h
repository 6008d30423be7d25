#pragma once

#include <QDialog>

#include "app/grid_dialog_port.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plexor {

// The grid dialog: asks for the grid step in its edit box.
// However it is closed (OK, Enter, Ctrl+K in the edit box, Esc, the close
// box), the command that showed it goes on and reads the edit box.
class GridDialog final : public QDialog, public GridDialogPort {
    Q_OBJECT
public:
    explicit GridDialog(QWidget* owner = nullptr);

    // GridDialogPort
    void setEditText(const std::string& text) override;
    void showModal() override;
    std::string editText() const override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareForShow();
    // Ctrl+K in the edit box closes the dialog; whether the key was it.
    bool closeOnCtrlK(const QKeyEvent& key);

    // Owned through Qt's parents; each has an object name, the name of its
    // member without the underscore, by which tests find it.
    QLabel* stepLabel_ = nullptr;
    QLineEdit* stepEdit_ = nullptr;
    QFrame* buttonPanel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace plexor
