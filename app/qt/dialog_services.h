#pragma once

#include <memory>

#include "app/file_dialogs.h"
#include "app/qt/message_boxes.h"
#include "app/settings_store.h"

namespace plexor {

// The dialogs and boxes the main window shows, and where it keeps what it
// remembers between runs; whatever is left empty gets Qt's own.
struct DialogServices {
    std::unique_ptr<FileDialogs> files;
    std::unique_ptr<MessageBoxes> boxes;
    std::unique_ptr<SettingsStore> settings;
};

} // namespace plexor
