#include "app/qt/qt_settings_store.h"

#include <QFile>

namespace plexor {

std::vector<std::string> QtSettingsStore::stringList(const std::string& key) const
{
    std::vector<std::string> values;
    for (const QString& value : settings_.value(QString::fromStdString(key)).toStringList())
        values.push_back(QFile::encodeName(value).toStdString());
    return values;
}

void QtSettingsStore::setStringList(const std::string& key, const std::vector<std::string>& values)
{
    QStringList list;
    for (const std::string& value : values) list << QFile::decodeName(QByteArray::fromStdString(value));
    settings_.setValue(QString::fromStdString(key), list);
    // On disk at once: a run that ends abruptly keeps it too.
    settings_.sync();
}

} // namespace plexor
