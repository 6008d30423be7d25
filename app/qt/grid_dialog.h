#pragma once

#include <QDialog>

#include "app/shell_ports.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plexor {

// The grid dialog `FGrid`: asks for the grid step in the edit box `SE`.
// However it is closed (OK, Enter, Ctrl+K in the edit box, Esc, the close
// box), the command that showed it goes on and reads the edit box.
class TFGrid final : public QDialog, public GridDialogPort {
    Q_OBJECT
public:
    explicit TFGrid(QWidget* owner = nullptr);

    // GridDialogPort
    void SetEditText(const std::string& text) override;
    void ShowModal() override;
    std::string EditText() const override;

    QLabel* Label1 = nullptr;
    QLineEdit* SE = nullptr;
    QFrame* PBottom = nullptr;
    QPushButton* BBOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void BBOKClick();
    // True when the key closed the dialog.
    bool SEKeyPress(const QKeyEvent& key);
};

} // namespace plexor
