#pragma once

#include <string>
#include <utility>

#include "app/shell_ports.h"

namespace plexor {

// A file dialog's settings, which remember the last confirmed choice for as
// long as the program runs: the next run proposes the name chosen last and
// opens on the filter entry chosen last.
class RememberedDialog {
public:
    RememberedDialog(std::string filter, std::string proposedName, std::string defaultExtension)
    {
        request_.Filter = std::move(filter);
        request_.FileName = std::move(proposedName);
        request_.DefaultExtension = std::move(defaultExtension);
    }

    const FileDialogRequest& Request() const noexcept { return request_; }

    void Remember(const FileDialogChoice& choice)
    {
        request_.FileName = choice.FileName;
        request_.FilterIndex = choice.FilterIndex;
    }

    // Proposes a name and a filter entry, with the extension that entry adds.
    void Propose(std::string fileName, int filterIndex, std::string defaultExtension)
    {
        request_.FileName = std::move(fileName);
        request_.FilterIndex = filterIndex;
        request_.DefaultExtension = std::move(defaultExtension);
    }

private:
    FileDialogRequest request_;
};

} // namespace plexor
