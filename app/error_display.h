#pragma once

#include <string>

namespace plexor {

// The application's standard display of an error raised inside a command.
// UI thread only.
class ErrorDisplay {
public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(const std::string& message) = 0;
};

} // namespace plexor
