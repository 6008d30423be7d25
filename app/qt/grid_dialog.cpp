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

    stepLabel = new QLabel(QStringLiteral("Grid difference:"), this);
    stepLabel->setObjectName(QStringLiteral("stepLabel"));
    stepLabel->move(8, 13);
    // The label ends before the edit box at 88, in whatever font the
    // system gives.
    for (QFont labelFont = stepLabel->font(); labelFont.pixelSize() > 8;
         labelFont.setPixelSize(labelFont.pixelSize() - 1)) {
        stepLabel->setFont(labelFont);
        if (QFontMetrics(labelFont).horizontalAdvance(stepLabel->text()) <= 88 - 8 - 2) break;
    }
    stepLabel->adjustSize();

    stepEdit = new QLineEdit(QStringLiteral("5"), this);
    stepEdit->setObjectName(QStringLiteral("stepEdit"));
    stepEdit->setGeometry(88, 8, 49, 21);
    stepEdit->installEventFilter(this);

    buttonPanel = new QFrame(this);
    buttonPanel->setObjectName(QStringLiteral("buttonPanel"));
    buttonPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    buttonPanel->setGeometry(0, 82 - 41, 149, 41);

    okButton = new QPushButton(QStringLiteral("OK"), buttonPanel);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(40, 8, 75, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &GridDialog::okClicked);

    setFocusProxy(stepEdit);
}

void GridDialog::setEditText(const std::string& text)
{
    stepEdit->setText(QString::fromStdString(text));
}

void GridDialog::showModal()
{
    exec();
}

std::string GridDialog::editText() const
{
    return stepEdit->text().toStdString();
}

void GridDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    prepareForShow();
}

void GridDialog::prepareForShow()
{
    stepEdit->setFocus();
    stepEdit->selectAll();
}

void GridDialog::okClicked()
{
    accept();
}

bool GridDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == stepEdit && event->type() == QEvent::KeyPress &&
        stepEditKeyPressed(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool GridDialog::stepEditKeyPressed(const QKeyEvent& key)
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
