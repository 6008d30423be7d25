#pragma once

#include <QSettings>

#include "app/settings_store.h"

namespace plexor {

// The settings store in QSettings: by default the user's own settings of
// the program, in the standard per-user place (~/.config/plexor/plexor.conf
// here). File names are kept as the text they stand for in the local
// encoding.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore() : settings_(QStringLiteral("plexor"), QStringLiteral("plexor")) {}
    // The settings in the file `path`, in the INI format.
    explicit QtSettingsStore(const QString& path) : settings_(path, QSettings::IniFormat) {}

    std::vector<std::string> stringList(const std::string& key) const override;
    void setStringList(const std::string& key, const std::vector<std::string>& values) override;

    QString fileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

} // namespace plexor
