#include "app/qt/file_dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace plexor {
namespace {

QString fromLocal(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

// One filter pattern as this system matches names: "*.*" stands for every
// file, also one without a dot in its name.
QString qtPattern(const QString& pattern)
{
    const QString trimmed = pattern.trimmed();
    return trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed;
}

// The extension of an entry's first pattern: "png" for "PNG pictures
// (*.png)"; empty for a pattern of all files.
QString firstSuffix(const QString& entry)
{
    const qsizetype open = entry.lastIndexOf(QLatin1Char('('));
    if (open < 0) return {};
    const QString first = entry.mid(open + 1).section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(')'));
    if (!first.startsWith(QLatin1String("*."))) return {};
    const QString suffix = first.mid(2);
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

// A file dialog whose save mode gives a name typed without an extension
// the extension of the entry selected, which decides the format it is saved
// in; the request's default extension serves an entry of all files.
class FileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        if (acceptMode() == QFileDialog::AcceptSave) {
            if (requestSuffix_.isNull()) requestSuffix_ = defaultSuffix();
            const QString suffix = firstSuffix(selectedNameFilter());
            setDefaultSuffix(suffix.isEmpty() ? requestSuffix_ : suffix);
        }
        QFileDialog::accept();
    }

private:
    QString requestSuffix_;
};

} // namespace

QStringList nameFilters(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        // A name usually repeats its patterns in brackets; the dialog is
        // shown the patterns it really applies.
        if (name.endsWith(QLatin1Char(')'))) {
            const qsizetype open = name.lastIndexOf(QLatin1Char('('));
            if (open >= 0) name = name.left(open).trimmed();
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << qtPattern(pattern);
        filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, mode == QFileDialog::AcceptSave);
    dialog.setSizeGripEnabled(true);

    const QStringList filters = nameFilters(request.filter);
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
    FileDialog dialog(owner_, title);
    dialog.setObjectName(mode == QFileDialog::AcceptOpen ? QStringLiteral("OPD") : QStringLiteral("SD"));
    configureFileDialog(dialog, request, mode);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return choiceOf(dialog);
}

} // namespace plexor
