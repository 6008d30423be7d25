#pragma once

// The file dialogs as the commands use them. The Qt window provides them;
// tests provide their own. UI thread only.

#include <optional>
#include <string>
#include <vector>

namespace plexor {

// One entry of a file dialog's filter: its name ("PNG pictures") and the
// extensions of the files it shows, without dots; none shows every file.
struct FileFilter {
    std::string name;
    std::vector<std::string> extensions;
};

// One run of a file dialog: its filter entries, the 1-based entry selected
// when it opens, the proposed file name and the extension added to a typed
// name that has none.
struct FileDialogRequest {
    std::vector<FileFilter> filters;
    int filterIndex = 1;
    std::string fileName;
    std::string defaultExtension;
};

struct FileDialogChoice {
    std::string fileName;
    int filterIndex = 1;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Both return nothing when the user cancels.
    virtual std::optional<FileDialogChoice> runOpenDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogChoice> runSaveDialog(const FileDialogRequest& request) = 0;
};

} // namespace plexor
