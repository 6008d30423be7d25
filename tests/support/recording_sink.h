#pragma once

#include <string>
#include <vector>

#include "app/message_sink.h"

namespace plexor::test {

struct RecordedMessage {
    std::string text, caption;
    MessageIcon icon = MessageIcon::None;
};

// A message sink that shows nothing and keeps what it is given, in order.
class RecordingSink : public MessageSink {
public:
    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override
    {
        shown.push_back({text, caption, icon});
    }
    std::vector<RecordedMessage> shown;
};

} // namespace plexor::test
