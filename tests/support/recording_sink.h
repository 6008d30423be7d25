#pragma once

#include <string>
#include <vector>

#include "engine/message_sink.h"

namespace plexor::test {

struct RecordedMessage {
    std::string text, caption;
    int style = 0;
};

// A message sink that shows nothing and keeps what it is given, in order.
class RecordingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, int style) override
    {
        shown.push_back({text, caption, style});
    }
    std::vector<RecordedMessage> shown;
};

} // namespace plexor::test
