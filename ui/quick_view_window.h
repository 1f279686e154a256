#pragma once
// The quick view: a read-only, multi-line edit control under the report list that shows the
// text the portable quick view builds for the selected meeting or item.

#include "platform/win32/unique_handle.h"

#include <string>
#include <string_view>

namespace tavolex::ui {

using platform::win32::UniqueFont;

inline constexpr int kQuickViewControlId = 3002;

class QuickViewWindow {
public:
    explicit QuickViewWindow(HINSTANCE instance) : instance_(instance) {}
    QuickViewWindow(const QuickViewWindow&) = delete;
    QuickViewWindow& operator=(const QuickViewWindow&) = delete;
    ~QuickViewWindow() { Destroy(); }

    // Creates the control in the report pane, showing "クイックビュー". With japaneseFont the
    // control gets the Japanese face (Windows 2000 and later).
    bool Create(HWND parent, bool japaneseFont);
    // Makes the Japanese face again for a window of dpi pixels per inch.
    void SetDpi(unsigned dpi);
    // Replaces the whole text (CP932, CR LF line breaks).
    void Show(std::string_view cp932);
    // The text the control holds, as CP932.
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] HWND Window() const { return window_; }
    void Destroy();

private:
    HINSTANCE instance_;
    HWND window_ = nullptr;
    UniqueFont font_;
    bool japaneseFont_ = false;
};

}  // namespace tavolex::ui
