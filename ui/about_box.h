#pragma once
// The About box: the program's texts and the release of this build.

#include <windows.h>

namespace tavolex::ui {

void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace tavolex::ui
