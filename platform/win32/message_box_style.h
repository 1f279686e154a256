#pragma once
// The MessageBoxW styles of the seam's messages and questions, shared by the platform's own
// interaction and the desktop program's frame-owned one.

#include "platform/platform.h"

namespace tavolex::platform {

// MB_ICON… of a message icon; 0 for none.
unsigned MessageBoxIconStyle(MessageIcon icon);
// MB_YESNO with the icon and the default button of the style.
unsigned QuestionBoxStyle(QuestionStyle style);
// The same with a Cancel button (MB_YESNOCANCEL).
unsigned YesNoCancelBoxStyle(QuestionStyle style);
// The answer of a message box's button: IDYES, IDNO, else Cancel.
Answer AnswerOfButton(int button);

}  // namespace tavolex::platform
