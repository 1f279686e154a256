#pragma once
// Services the frame, the panes and the dialogs share: fonts made to a point size, enabling the
// frame's commands in its menu and tool bar, and texts for the W API.

#include "resources/control_ids.h"
#include "platform/win32/unique_handle.h"

#include <string>
#include <string_view>

namespace tavolex::ui {

using platform::win32::ScopedSelectObject;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueFont;
using platform::win32::UniqueIcon;
using platform::win32::UniqueImageList;
using platform::win32::UniqueMenu;

// Menu and tool bar command ids.
inline constexpr int kCmdAbout = IDM_ABOUT;
inline constexpr int kCmdExit = IDM_EXIT;
inline constexpr int kCmdCreateReport = IDM_CREATE_REPORT;
inline constexpr int kCmdCycleViews = IDM_CYCLE_VIEWS;
inline constexpr int kCmdRefresh = IDM_REFRESH;
inline constexpr int kCmdDelete = IDM_DELETE;
inline constexpr int kCmdLargeIcons = IDM_LARGE_ICONS;
inline constexpr int kCmdSmallIcons = IDM_SMALL_ICONS;
inline constexpr int kCmdDetails = IDM_DETAILS;
inline constexpr int kCmdList = IDM_LIST;
inline constexpr int kCmdPreferences = IDM_PREFERENCES;
inline constexpr int kCmdSupport = IDM_SUPPORT;
inline constexpr int kCmdContact = IDM_CONTACT;
inline constexpr int kCmdRename = IDM_RENAME;
inline constexpr int kCmdOpenReport = IDM_OPEN_REPORT;
inline constexpr int kCmdHelp = IDM_HELP;
inline constexpr int kCmdPaneLargeIcons = IDM_PANE_LARGE_ICONS;
inline constexpr int kCmdPaneSmallIcons = IDM_PANE_SMALL_ICONS;
inline constexpr int kCmdPaneList = IDM_PANE_LIST;
inline constexpr int kCmdPaneDetails = IDM_PANE_DETAILS;
inline constexpr int kCmdPaneOpen = IDM_PANE_OPEN;
inline constexpr int kCmdMail = IDM_MAIL;
inline constexpr int kCmdPaneMail = IDM_PANE_MAIL;
inline constexpr int kCmdExport = IDM_EXPORT;
inline constexpr int kCmdReportOptions = IDM_REPORT_OPTIONS;
inline constexpr int kCmdQuickView = IDM_QUICK_VIEW;
inline constexpr int kCmdOpenPalmFolder = IDM_OPEN_PALM_FOLDER;
inline constexpr int kCmdFind = IDM_FIND;
inline constexpr int kCmdCheckData = IDM_CHECK_DATA;

// The face the user box, the quick view and the lists are drawn in, and the one taken where it
// is missing (Wine on Debian has the IPA fonts).
inline constexpr wchar_t kJapaneseFace[] = L"MS Gothic";
inline constexpr wchar_t kFallbackJapaneseFace[] = L"IPAGothic";

// A new font of height and width in tenths of a point for the device context; attributes bit 0
// bold, 1 italic, 2 underline, 3 strike-out. Logical non-zero: dpi pixels per inch, or the
// context's logical pixels per inch when dpi is 0; else the context's physical resolution.
UniqueFont MakeFont(HDC dc, const wchar_t* face, int height, int width, int attributes, int logical, unsigned dpi = 0);
// MakeFont of the Japanese face, or of the fallback face when the system lacks it, for a window
// of dpi pixels per inch (0: the context's).
UniqueFont MakeJapaneseFont(HDC dc, unsigned dpi = 0);

// The pixels per inch of the window: GetDpiForWindow where the system has it, else the screen's.
unsigned WindowDpi(HWND window);
// A figure given for 96 pixels per inch, at dpi.
inline int Scaled(int figure, unsigned dpi) { return MulDiv(figure, static_cast<int>(dpi), 96); }
// An image list of size x size pictures, 32-bit with alpha, made from 16 x 16 bitmaps and their
// monochrome masks (white: transparent), each resized smoothly.
UniqueImageList MakeScaledImageList(HINSTANCE instance, int size, const int* bitmapIds, const int* maskIds, int count);

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
// UTF-8 text (the core's messages, paths and table texts) as UTF-16 for the W API, every character
// kept, those CP932 lacks included.
std::wstring Utf8ToWide(std::string_view utf8);
// A string resource of the program, "" when missing.
std::wstring LoadText(HINSTANCE instance, int id);

}  // namespace tavolex::ui
