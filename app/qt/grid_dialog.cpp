#include "app/qt/grid_dialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plexor {

TFGrid::TFGrid(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FGrid"));
    setWindowTitle(QStringLiteral("Grid definition"));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(149, 82);
    move(435, 107);

    Label1 = new QLabel(QStringLiteral("Grid difference:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 13);
    // The label ends before the edit box at 88, in whatever font the
    // system gives.
    for (QFont labelFont = Label1->font(); labelFont.pixelSize() > 8;
         labelFont.setPixelSize(labelFont.pixelSize() - 1)) {
        Label1->setFont(labelFont);
        if (QFontMetrics(labelFont).horizontalAdvance(Label1->text()) <= 88 - 8 - 2) break;
    }
    Label1->adjustSize();

    SE = new QLineEdit(QStringLiteral("5"), this);
    SE->setObjectName(QStringLiteral("SE"));
    SE->setGeometry(88, 8, 49, 21);
    SE->installEventFilter(this);

    PBottom = new QFrame(this);
    PBottom->setObjectName(QStringLiteral("PBottom"));
    PBottom->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PBottom->setGeometry(0, 82 - 41, 149, 41);

    BBOK = new QPushButton(QStringLiteral("OK"), PBottom);
    BBOK->setObjectName(QStringLiteral("BBOK"));
    BBOK->setGeometry(40, 8, 75, 25);
    BBOK->setDefault(true);
    connect(BBOK, &QPushButton::clicked, this, &TFGrid::BBOKClick);

    setFocusProxy(SE);
}

void TFGrid::SetEditText(const std::string& text)
{
    SE->setText(QString::fromStdString(text));
}

void TFGrid::ShowModal()
{
    exec();
}

std::string TFGrid::EditText() const
{
    return SE->text().toStdString();
}

void TFGrid::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFGrid::FormShow()
{
    SE->setFocus();
    SE->selectAll();
}

void TFGrid::BBOKClick()
{
    accept();
}

bool TFGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SE && event->type() == QEvent::KeyPress && SEKeyPress(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TFGrid::SEKeyPress(const QKeyEvent& key)
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
