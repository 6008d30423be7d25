#include "app/qt/message_boxes.h"

namespace plexor {

QMessageBox::Icon qtIcon(MessageIcon icon) noexcept
{
    return icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon;
}

void QtMessageBoxes::showMessage(const std::string& text, const std::string& caption, MessageIcon icon)
{
    show(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), "MessageBox");
}

void QtMessageBoxes::showError(const std::string& message)
{
    // Messages may carry a file name in the system's own encoding.
    show(QMessageBox::Critical, QString::fromLatin1(kProgramTitle), QString::fromLocal8Bit(message), "ErrorDisplay");
}

void QtMessageBoxes::showInformation(const std::string& text)
{
    show(QMessageBox::Information, QString::fromLatin1(kProgramTitle), QString::fromStdString(text), "InformationBox");
}

void QtMessageBoxes::show(QMessageBox::Icon icon, const QString& caption, const QString& text, const char* name)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner_);
    box.setObjectName(QString::fromLatin1(name));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace plexor
