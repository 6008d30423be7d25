#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/settings_store.h"

namespace plexor {

// The pictures opened or saved last, newest first, and the folder of the
// last of them, where the picture dialogs start. Both are kept in the
// settings store as soon as they change, and read from it when the program
// starts; nothing else of the program is kept.
class RecentPictures {
public:
    static constexpr std::size_t kMaxFiles = 10;

    explicit RecentPictures(SettingsStore& settings);

    const std::vector<std::string>& files() const noexcept { return files_; }
    // The folder of the picture opened or saved last, in this run or an
    // earlier one; empty before the first.
    const std::string& lastFolder() const noexcept { return lastFolder_; }

    // `path` was opened or saved: it goes first, once, as an absolute path,
    // the oldest beyond kMaxFiles leave, and its folder is the last folder.
    void add(const std::string& path);
    // `path` leaves the list; the last folder stays.
    void remove(const std::string& path);
    // The list empties; the last folder stays.
    void clear();

private:
    void store();

    SettingsStore& settings_;
    std::vector<std::string> files_;
    std::string lastFolder_;
};

} // namespace plexor
