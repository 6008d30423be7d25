#pragma once

#include <string>
#include <utility>

#include "app/file_dialogs.h"

namespace plexor {

// A file dialog's settings, which remember the last confirmed choice for as
// long as the program runs: the next run proposes the name chosen last and
// opens on the filter entry chosen last.
class RememberedDialog {
public:
    RememberedDialog(std::vector<FileFilter> filters, std::string proposedName, std::string defaultExtension)
    {
        request_.filters = std::move(filters);
        request_.fileName = std::move(proposedName);
        request_.defaultExtension = std::move(defaultExtension);
    }

    const FileDialogRequest& request() const noexcept { return request_; }

    void remember(const FileDialogChoice& choice)
    {
        request_.fileName = choice.fileName;
        request_.filterIndex = choice.filterIndex;
    }

    // Proposes a name and a filter entry, with the extension that entry adds.
    void propose(std::string fileName, int filterIndex, std::string defaultExtension)
    {
        request_.fileName = std::move(fileName);
        request_.filterIndex = filterIndex;
        request_.defaultExtension = std::move(defaultExtension);
    }

private:
    FileDialogRequest request_;
};

} // namespace plexor
