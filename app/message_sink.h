#pragma once

#include <string>

namespace plexor {

// What a message box shows beside its text and OK button: nothing, or a
// stop sign for a failure that ends what the program was doing.
enum class MessageIcon { None, Stop };

// Where the commands send the messages that a message box shows.
// The program connects its message box; tests record what arrives.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

} // namespace plexor
