#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace tavolex::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageIcon icon = platform::MessageIcon::kNone;
};

struct AskedQuestion {
    std::string text;
    std::string caption;
    std::optional<platform::QuestionStyle> style;  // none: asked without a style
};

// Keeps every message and question, in order; questions get the answer set beforehand.
class RecordingUserInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(caption), icon});
    }
    bool AskYesNo(std::string_view text, std::string_view caption, platform::QuestionStyle style) override {
        questions.push_back({std::string(text), std::string(caption), style});
        return answer;
    }
    // A choice with Cancel: recorded as a question of its style, answered with threeWay when set.
    platform::Answer AskYesNoCancel(std::string_view text, std::string_view caption, platform::QuestionStyle style) override {
        questions.push_back({std::string(text), std::string(caption), style});
        return threeWay.value_or(answer ? platform::Answer::kYes : platform::Answer::kNo);
    }
    // The plain question of a front end without buttons: recorded with no style.
    bool AskYesNo(std::string_view text, std::string_view caption) override {
        questions.push_back({std::string(text), std::string(caption), std::nullopt});
        return answer;
    }

    std::vector<ShownMessage> messages;
    std::vector<AskedQuestion> questions;
    bool answer = false;
    std::optional<platform::Answer> threeWay;
};

}  // namespace tavolex::test
