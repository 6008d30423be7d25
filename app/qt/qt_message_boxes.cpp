#include "app/qt/qt_message_boxes.h"

namespace plexor {
namespace {

// The title of the error display and of the information box.
constexpr const char* kProgramTitle = "Plexor";

// Qt's icon for a message's.
QMessageBox::Icon qtIcon(MessageIcon icon) noexcept
{
    return icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon;
}

} // namespace

void QtMessageBoxes::showMessage(const std::string& text, const std::string& caption, MessageIcon icon)
{
    show(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), "messageBox");
}

void QtMessageBoxes::showError(const std::string& message)
{
    // Messages may carry a file name in the system's own encoding.
    show(QMessageBox::Critical, QString::fromLatin1(kProgramTitle), QString::fromLocal8Bit(message), "errorDisplay");
}

void QtMessageBoxes::showInformation(const std::string& text)
{
    show(QMessageBox::Information, QString::fromLatin1(kProgramTitle), QString::fromStdString(text), "informationBox");
}

SaveChoice QtMessageBoxes::askToSaveChanges(const std::string& name)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle),
                    QStringLiteral("Save changes to %1?").arg(QString::fromLocal8Bit(name)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner_);
    box.setObjectName(QStringLiteral("saveChangesBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

void QtMessageBoxes::show(QMessageBox::Icon icon, const QString& caption, const QString& text, const char* name)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner_);
    box.setObjectName(QString::fromLatin1(name));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace plexor
