#pragma once

#include <string>

namespace plexor {

// The grid dialog: an edit box and an OK button, shown modally. UI thread
// only.
class GridDialogPort {
public:
    virtual ~GridDialogPort() = default;
    virtual void setEditText(const std::string& text) = 0;
    // Returns however the dialog was closed.
    virtual void showModal() = 0;
    virtual std::string editText() const = 0;
};

} // namespace plexor
