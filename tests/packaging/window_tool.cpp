// Answers the desktop program's windows from outside it, for the installer test:
//   window_tool answer SECONDS   waits for a message box, prints its caption and text (UTF-8, one
//                                line each) and presses its OK button
//   window_tool close SECONDS    waits until the program's frame window is shown and closes it
// Exit 0 when the window came, 1 when it did not come in time, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

void PrintLine(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// The message box's text is the static control with the id message boxes give it.
std::wstring MessageText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowText(text) : std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::wstring_view verb = argv[1];
    const int tenths = _wtoi(argv[2]) * 10;
    if (verb != L"answer" && verb != L"close") return 2;
    for (int i = 0; i < tenths; ++i, Sleep(100)) {
        if (verb == L"answer") {
            HWND box = FindWindowW(L"#32770", nullptr);
            if (box == nullptr || !IsWindowVisible(box)) continue;
            PrintLine(WindowText(box));
            PrintLine(MessageText(box));
            std::fflush(stdout);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        HWND frame = FindWindowW(L"TAVOLEXMEETING", nullptr);
        if (frame == nullptr || !IsWindowVisible(frame)) continue;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return 0;
    }
    return 1;
}
