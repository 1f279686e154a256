#include "platform/platform.h"

#include <cstdio>
#include <string>

namespace tavolex::platform {
namespace {

// Messages go to standard error in UTF-8, caption first. Only a person at a terminal can answer
// a question "yes"; anything else (a script, a closed input) answers "no".
class ConsoleUserInteraction final : public UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon) override {
        std::fputs(Line(text, caption).c_str(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }

    // Enter alone gives the style's default answer; a closed input is always "no".
    bool AskYesNo(std::string_view text, std::string_view caption, QuestionStyle style) override {
        if (!IsTerminal(StandardStream::kInput) || !IsTerminal(StandardStream::kError)) return false;
        const bool yesByDefault = style.defaultAnswer == DefaultAnswer::kYes;
        std::fputs((Line(text, caption) + (yesByDefault ? " [Y/n] " : " [y/N] ")).c_str(), stderr);
        std::fflush(stderr);
        char answer[64] = {};
        if (std::fgets(answer, sizeof answer, stdin) == nullptr) return false;
        if (answer[0] == '\n') return yesByDefault;
        return answer[0] == 'y' || answer[0] == 'Y';
    }

    bool AskYesNo(std::string_view text, std::string_view caption) override {
        return AskYesNo(text, caption, kConfirmation);
    }

private:
    static std::string Line(std::string_view text, std::string_view caption) {
        std::string line;
        if (!caption.empty()) line = Cp932ToUtf8(caption) + ": ";
        return line + Cp932ToUtf8(text);
    }
};

}  // namespace

UserInteraction& SystemUserInteraction() {
    static ConsoleUserInteraction interaction;
    return interaction;
}

}  // namespace tavolex::platform
