#include "ui/quick_view_window.h"

#include "ui/window_services.h"
#include "views/quick_view.h"

namespace tavolex::ui {

bool QuickViewWindow::Create(HWND parent, bool japaneseFont) {
    window_ = CreateWindowExW(
        WS_EX_STATICEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kQuickViewControlId)), instance_, nullptr);
    if (window_ == nullptr) return false;
    japaneseFont_ = japaneseFont;
    SetDpi(WindowDpi(window_));
    Show(QuickViewInitialText());
    return true;
}

void QuickViewWindow::SetDpi(unsigned dpi) {
    if (!japaneseFont_ || window_ == nullptr) return;
    HDC dc = GetDC(window_);
    UniqueFont font = MakeJapaneseFont(dc, dpi);
    ReleaseDC(window_, dc);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    font_ = std::move(font);
}

void QuickViewWindow::Show(std::string_view cp932) {
    if (window_ != nullptr) SetWindowTextW(window_, Wide(cp932).c_str());
}

std::string QuickViewWindow::Text() const {
    if (window_ == nullptr) return {};
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window_, text.data(), length + 1)));
    return Narrow(text);
}

void QuickViewWindow::Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    font_.Reset();
}

}  // namespace tavolex::ui
