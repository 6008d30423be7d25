#pragma once

#include <string>
#include <vector>

namespace plexor {

// What the program keeps between its runs, by key. The Qt window keeps it
// with QSettings in the user's own settings; tests keep it in memory.
// Everything here runs on the UI thread.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The list kept under `key`; empty when nothing is.
    virtual std::vector<std::string> stringList(const std::string& key) const = 0;
    virtual void setStringList(const std::string& key, const std::vector<std::string>& values) = 0;
};

} // namespace plexor
