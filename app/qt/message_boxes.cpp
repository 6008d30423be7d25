#include "app/qt/message_boxes.h"

namespace plexor {

QMessageBox::Icon IconOfStyle(int style) noexcept
{
    switch (style & 0xF0) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

void QtMessageBoxes::ShowMessage(const std::string& text, const std::string& caption, int style)
{
    Show(IconOfStyle(style), QString::fromStdString(caption), QString::fromStdString(text), "MessageBox");
}

void QtMessageBoxes::ShowError(const std::string& message)
{
    // Messages may carry a file name in the system's own encoding.
    Show(QMessageBox::Critical, QString::fromLatin1(kProgramTitle), QString::fromLocal8Bit(message), "ErrorDisplay");
}

void QtMessageBoxes::ShowInformation(const std::string& text)
{
    Show(QMessageBox::Information, QString::fromLatin1(kProgramTitle), QString::fromStdString(text), "InformationBox");
}

void QtMessageBoxes::Show(QMessageBox::Icon icon, const QString& caption, const QString& text, const char* name)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner_);
    box.setObjectName(QString::fromLatin1(name));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace plexor
