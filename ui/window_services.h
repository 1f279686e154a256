#pragma once
// Services the frame, the panes and the dialogs share: fonts made to a point size, enabling the
// frame's commands in its menu and tool bar, and texts for the W API.

#include "platform/win32/unique_handle.h"

#include <string>
#include <string_view>

namespace tavolex::ui {

using platform::win32::ScopedSelectObject;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueFont;
using platform::win32::UniqueImageList;
using platform::win32::UniqueMenu;

// Menu and tool bar command ids.
inline constexpr int kCmdAbout = 104;
inline constexpr int kCmdExit = 105;
inline constexpr int kCmdCreateReport = 504;
inline constexpr int kCmdCycleViews = 507;
inline constexpr int kCmdRefresh = 2000;
inline constexpr int kCmdDelete = 2001;
inline constexpr int kCmdLargeIcons = 32771;
inline constexpr int kCmdSmallIcons = 32772;
inline constexpr int kCmdDetails = 32773;
inline constexpr int kCmdList = 32774;
inline constexpr int kCmdPreferences = 32775;
inline constexpr int kCmdSupport = 32776;
inline constexpr int kCmdContact = 32778;
inline constexpr int kCmdRename = 32783;
inline constexpr int kCmdOpenReport = 32786;
inline constexpr int kCmdHelp = 32787;
inline constexpr int kCmdPaneLargeIcons = 32789;
inline constexpr int kCmdPaneSmallIcons = 32790;
inline constexpr int kCmdPaneList = 32791;
inline constexpr int kCmdPaneDetails = 32792;
inline constexpr int kCmdPaneOpen = 32793;
inline constexpr int kCmdMail = 32794;
inline constexpr int kCmdPaneMail = 32796;
inline constexpr int kCmdExport = 32800;
inline constexpr int kCmdReportOptions = 32809;
inline constexpr int kCmdQuickView = 32812;

// The face the user box, the quick view and the lists are drawn in, and the one taken where it
// is missing (Wine on Debian has the IPA fonts).
inline constexpr wchar_t kJapaneseFace[] = L"MS Gothic";
inline constexpr wchar_t kFallbackJapaneseFace[] = L"IPAGothic";

// A new font of height and width in tenths of a point for the device context; attributes bit 0
// bold, 1 italic, 2 underline, 3 strike-out. Logical non-zero: the context's logical pixels per
// inch, else its physical resolution.
UniqueFont MakeFont(HDC dc, const wchar_t* face, int height, int width, int attributes, int logical);
// MakeFont of the Japanese face, or of the fallback face when the system lacks it.
UniqueFont MakeJapaneseFont(HDC dc);

// Enables or greys the command in the menu of the frame (the tool bar's grandparent) and enables
// or disables the tool bar button of the same id.
void SetCommandEnabled(HWND toolBar, int command, bool enabled);
void SetCreateReportEnabled(HWND toolBar, bool enabled);
void SetMailEnabled(HWND toolBar, bool enabled);
void SetExportEnabled(HWND toolBar, bool enabled);
void SetDeleteEnabled(HWND toolBar, bool enabled);
void SetOpenReportEnabled(HWND toolBar, bool enabled);  // menu item only

// CP932 text as UTF-16 for the W API, and back.
std::wstring Wide(std::string_view cp932);
std::string Narrow(std::wstring_view text);
// A string resource of the program, "" when missing.
std::wstring LoadText(HINSTANCE instance, int id);

}  // namespace tavolex::ui
