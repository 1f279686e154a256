#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace tavolex::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageIcon icon = platform::MessageIcon::kNone;
};

// Keeps every message and question, in order; questions get the answer set beforehand.
class RecordingUserInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(caption), icon});
    }
    bool AskYesNo(std::string_view text, std::string_view caption) override {
        questions.push_back({std::string(text), std::string(caption), platform::MessageIcon::kNone});
        return answer;
    }

    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    bool answer = false;
};

}  // namespace tavolex::test
