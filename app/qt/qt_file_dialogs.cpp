#include "app/qt/qt_file_dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace plexor {
namespace {

QString fromLocal(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

// A file dialog whose save mode gives a name typed without an extension
// the first extension of the entry selected, which decides the format it is
// saved in; the request's default extension serves an entry of all files.
class FileDialog final : public QFileDialog {
public:
    FileDialog(QWidget* owner, const QString& title, const FileDialogRequest& request)
        : QFileDialog(owner, title), filters_(request.filters),
          requestSuffix_(QString::fromStdString(request.defaultExtension))
    {}

    void accept() override
    {
        if (acceptMode() == QFileDialog::AcceptSave) {
            const qsizetype entry = nameFilters().indexOf(selectedNameFilter());
            const bool known = entry >= 0 && static_cast<std::size_t>(entry) < filters_.size() &&
                               !filters_[static_cast<std::size_t>(entry)].extensions.empty();
            setDefaultSuffix(known ? QString::fromStdString(filters_[static_cast<std::size_t>(entry)].extensions[0])
                                   : requestSuffix_);
        }
        QFileDialog::accept();
    }

private:
    std::vector<FileFilter> filters_;
    QString requestSuffix_;
};

} // namespace

QStringList nameFilters(const std::vector<FileFilter>& filters)
{
    QStringList names;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& extension : filter.extensions) patterns << "*." + QString::fromStdString(extension);
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        names << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.name), patterns.join(QLatin1Char(' ')));
    }
    return names;
}

void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, mode == QFileDialog::AcceptSave);
    dialog.setSizeGripEnabled(true);

    const QStringList filters = nameFilters(request.filters);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));

    if (!request.fileName.empty()) {
        const QFileInfo proposed(fromLocal(request.fileName));
        if (proposed.isAbsolute() || request.fileName.find('/') != std::string::npos)
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
}

FileDialogChoice choiceOf(const QFileDialog& dialog)
{
    FileDialogChoice choice;
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) choice.fileName = QFile::encodeName(files.first()).toStdString();
    const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    choice.filterIndex = index < 0 ? 1 : static_cast<int>(index) + 1;
    return choice;
}

std::optional<FileDialogChoice> QtFileDialogs::runOpenDialog(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptOpen, QStringLiteral("Open"));
}

std::optional<FileDialogChoice> QtFileDialogs::runSaveDialog(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptSave, QStringLiteral("Save As"));
}

std::optional<FileDialogChoice> QtFileDialogs::run(const FileDialogRequest& request, QFileDialog::AcceptMode mode,
                                                   const QString& title)
{
    FileDialog dialog(owner_, title, request);
    dialog.setObjectName(mode == QFileDialog::AcceptOpen ? QStringLiteral("openDialog") : QStringLiteral("saveDialog"));
    configureFileDialog(dialog, request, mode);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return choiceOf(dialog);
}

} // namespace plexor
