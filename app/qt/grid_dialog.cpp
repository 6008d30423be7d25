#include "app/qt/grid_dialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plexor {

GridDialog::GridDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("gridDialog"));
    setWindowTitle(QStringLiteral("Grid definition"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(149, 82);
    move(435, 107);

    stepLabel_ = new QLabel(QStringLiteral("Grid difference:"), this);
    stepLabel_->setObjectName(QStringLiteral("stepLabel"));
    stepLabel_->move(8, 13);
    // The label ends before the edit box at 88, in whatever font the
    // system gives.
    for (QFont labelFont = stepLabel_->font(); labelFont.pixelSize() > 8;
         labelFont.setPixelSize(labelFont.pixelSize() - 1)) {
        stepLabel_->setFont(labelFont);
        if (QFontMetrics(labelFont).horizontalAdvance(stepLabel_->text()) <= 88 - 8 - 2) break;
    }
    stepLabel_->adjustSize();

    stepEdit_ = new QLineEdit(QStringLiteral("5"), this);
    stepEdit_->setObjectName(QStringLiteral("stepEdit"));
    stepEdit_->setGeometry(88, 8, 49, 21);
    stepEdit_->installEventFilter(this);

    buttonPanel_ = new QFrame(this);
    buttonPanel_->setObjectName(QStringLiteral("buttonPanel"));
    buttonPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    buttonPanel_->setGeometry(0, 82 - 41, 149, 41);

    okButton_ = new QPushButton(QStringLiteral("OK"), buttonPanel_);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(40, 8, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    setFocusProxy(stepEdit_);
}

void GridDialog::setEditText(const std::string& text)
{
    stepEdit_->setText(QString::fromStdString(text));
}

void GridDialog::showModal()
{
    exec();
}

std::string GridDialog::editText() const
{
    return stepEdit_->text().toStdString();
}

void GridDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    prepareForShow();
}

void GridDialog::prepareForShow()
{
    stepEdit_->setFocus();
    stepEdit_->selectAll();
}

bool GridDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == stepEdit_ && event->type() == QEvent::KeyPress &&
        closeOnCtrlK(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool GridDialog::closeOnCtrlK(const QKeyEvent& key)
{
    // Ctrl+K types character 11. The edit box would otherwise take it as
    // "delete to the end of the line".
    const bool controlK =
        key.text() == QString(QChar(11)) || (key.key() == Qt::Key_K && key.modifiers() == Qt::ControlModifier);
    if (!controlK) return false;
    reject();
    return true;
}

} // namespace plexor
