#pragma once

#include <string>

namespace plexor {

// Message-box styles the program uses.
inline constexpr int MB_OK = 0;
inline constexpr int MB_ICONSTOP = 16;

// Where the engine and the shell send the messages that a message box shows.
// The program connects its message box; tests record what arrives.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text, const std::string& caption, int style) = 0;
};

} // namespace plexor
