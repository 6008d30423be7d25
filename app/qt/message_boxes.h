#pragma once

#include <string>

#include "app/error_display.h"
#include "app/message_sink.h"
#include "app/window_ports.h"

namespace plexor {

// Every box the program shows that is no window of its own: the engine's
// and the picture exchange's messages, the error display for errors raised
// inside a command, and the information box. The window shows Qt's
// (QtMessageBoxes); tests put in their own, which show nothing.
class MessageBoxes : public MessageSink, public ErrorDisplay {
public:
    virtual void showInformation(const std::string& text) = 0;
    // "Save changes to NAME?" with Save, Discard and Cancel.
    virtual SaveChoice askToSaveChanges(const std::string& name) = 0;
};

} // namespace plexor
