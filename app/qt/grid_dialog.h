#pragma once

#include <QDialog>

#include "app/shell_ports.h"

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

    QLabel* stepLabel = nullptr;
    QLineEdit* stepEdit = nullptr;
    QFrame* buttonPanel = nullptr;
    QPushButton* okButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareForShow();
    void okClicked();
    // True when the key closed the dialog.
    bool stepEditKeyPressed(const QKeyEvent& key);
};

} // namespace plexor
