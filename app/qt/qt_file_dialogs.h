#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "app/file_dialogs.h"

namespace plexor {

// Qt's name filters for a dialog's filter entries: "PNG pictures (*.png)",
// "All files (*)".
QStringList nameFilters(const std::vector<FileFilter>& filters);

// Sets up `dialog` for one run of `request`: its filters with the requested
// entry selected, the proposed name and the default extension. An open
// dialog accepts a name of a file that does not exist; a save dialog
// replaces an existing file without asking.
void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, QFileDialog::AcceptMode mode);

// The choice a dialog closed with: the chosen name and its filter entry,
// counted from 1.
FileDialogChoice choiceOf(const QFileDialog& dialog);

// The open and save dialogs of the main window, shown modally over it.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner) : owner_(owner) {}

    std::optional<FileDialogChoice> runOpenDialog(const FileDialogRequest& request) override;
    std::optional<FileDialogChoice> runSaveDialog(const FileDialogRequest& request) override;

private:
    std::optional<FileDialogChoice> run(const FileDialogRequest& request, QFileDialog::AcceptMode mode,
                                        const QString& title);

    QPointer<QWidget> owner_;
};

} // namespace plexor
