#include "platform/platform.h"

#include "platform/win32/message_box_style.h"

#include <windows.h>

#include <string>

namespace tavolex::platform {
namespace {

std::wstring Wide(std::string_view cp932) {
    const std::u16string wide = Cp932ToUtf16(cp932);
    return std::wstring(wide.begin(), wide.end());
}

}  // namespace

unsigned MessageBoxIconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kInformation: return MB_ICONINFORMATION;
        case MessageIcon::kWarning: return MB_ICONWARNING;
        case MessageIcon::kError: return MB_ICONERROR;
        case MessageIcon::kNone: break;
    }
    return 0;
}

unsigned QuestionBoxStyle(QuestionStyle style) {
    return MB_YESNO | MessageBoxIconStyle(style.icon) |
           (style.defaultAnswer == DefaultAnswer::kNo ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
}

unsigned YesNoCancelBoxStyle(QuestionStyle style) { return (QuestionBoxStyle(style) & ~MB_TYPEMASK) | MB_YESNOCANCEL; }

Answer AnswerOfButton(int button) {
    return button == IDYES ? Answer::kYes : button == IDNO ? Answer::kNo : Answer::kCancel;
}

namespace {

// Message boxes with no owner window; an empty caption gives the system's own ("Error").
class MessageBoxInteraction final : public UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
        const std::wstring wideCaption = Wide(caption);
        MessageBoxW(nullptr, Wide(text).c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                    MB_OK | MessageBoxIconStyle(icon));
    }

    bool AskYesNo(std::string_view text, std::string_view caption, QuestionStyle style) override {
        const std::wstring wideCaption = Wide(caption);
        return MessageBoxW(nullptr, Wide(text).c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                           QuestionBoxStyle(style)) == IDYES;
    }

    bool AskYesNo(std::string_view text, std::string_view caption) override {
        return AskYesNo(text, caption, kConfirmation);
    }

    Answer AskYesNoCancel(std::string_view text, std::string_view caption, QuestionStyle style) override {
        const std::wstring wideCaption = Wide(caption);
        return AnswerOfButton(MessageBoxW(nullptr, Wide(text).c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                                          YesNoCancelBoxStyle(style)));
    }
};

}  // namespace

UserInteraction& SystemUserInteraction() {
    static MessageBoxInteraction interaction;
    return interaction;
}

}  // namespace tavolex::platform
