#include "ui/report_options_dialog.h"

#include "settings/application_settings.h"
#include "platform/win32/unique_handle.h"
#include "ui/window_services.h"
#include "resources/string_ids.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>
#include <cstdio>
#include <vector>

namespace tavolex::ui {

namespace {

// Places on the tab control, in pixels.
constexpr RECT kGroupBox{25, 40, 25 + 339, 40 + 255};
constexpr RECT kBlankStatic{25, 300, 25 + 300, 300 + 40};
constexpr int kLeftColumnX = 78;
constexpr int kRightColumnX = 230;
constexpr int kFirstRowY = 75;
constexpr int kCheckBoxWidth = 130;
constexpr int kCheckBoxHeight = 20;
constexpr RECT kAuthorEdit{60, 160, 60 + 270, 160 + 20};
constexpr RECT kAuthorCaption{60, 130, 60 + 300, 130 + 20};

constexpr DWORD kGroupBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_GROUPBOX;
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
// The author as typed is stored as CP932 in an 8192-byte buffer: at most two bytes a character.
constexpr int kAuthorCharacters = 4095;

// The dialog's state while it is open; the windows of the shown tab and one font per window.
struct DialogState {
    ReportOptionsDialogOptions* options = nullptr;
    HINSTANCE instance = nullptr;
    HWND dialog = nullptr;
    HWND tab = nullptr;
    HWND fieldsGroup = nullptr;
    HWND authorGroup = nullptr;
    HWND blankText = nullptr;
    ReportOptionsTab current = ReportOptionsTab::kFields;
    std::array<HWND, kReportFieldCount> checkBoxes{};
    HWND authorEdit = nullptr;
    HWND authorCaption = nullptr;
    UniqueFont tabFont;
    std::vector<UniqueFont> shownFonts;  // of the shown tab's windows; released after them
};

void GiveOwnFont(const DialogState& state, HWND window, UniqueFont& font) {
    if (!state.options->ownFonts || window == nullptr) return;
    HDC dc = GetDC(window);
    font = MakeJapaneseFont(dc);
    ReleaseDC(window, dc);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
}

HWND CreateTabWindow(DialogState& state, DWORD exStyle, const wchar_t* windowClass, const std::wstring& text,
                     DWORD style, const RECT& place, int id) {
    // Without a tab control the windows go on the dialog itself.
    HWND parent = state.tab != nullptr ? state.tab : state.dialog;
    HWND window = CreateWindowExW(exStyle, windowClass, text.c_str(), style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), state.instance, nullptr);
    state.shownFonts.emplace_back();
    GiveOwnFont(state, window, state.shownFonts.back());
    return window;
}

RECT CheckBoxPlace(std::size_t index) {
    const bool left = index < kReportFieldsInLeftColumn;
    const int row = static_cast<int>(left ? index : index - kReportFieldsInLeftColumn);
    const int x = left ? kLeftColumnX : kRightColumnX;
    const int y = kFirstRowY + row * kCheckBoxHeight;
    return {x, y, x + kCheckBoxWidth, y + kCheckBoxHeight};
}

HWND BuildFieldsTab(DialogState& state) {
    state.current = ReportOptionsTab::kFields;
    state.fieldsGroup = CreateTabWindow(state, 0, L"BUTTON", LoadText(state.instance, IDS_OPTIONS_FIELDS_GROUP),
                                        kGroupBoxStyle, kGroupBox, 0);
    ReportOptionsValues& values = state.options->values;
    state.options->loadTab(ReportOptionsTab::kFields, values);
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        HWND box = CreateTabWindow(state, 0, L"BUTTON", LoadText(state.instance, kReportFieldSwitches[k].labelId),
                                   kCheckBoxStyle, CheckBoxPlace(k), 0);
        ShowWindow(box, SW_SHOW);
        SendMessageW(box, BM_SETCHECK, values.fields[k] ? BST_CHECKED : BST_UNCHECKED, 0);
        state.checkBoxes[k] = box;
    }
    state.blankText = CreateTabWindow(state, 0, L"Static", LoadText(state.instance, IDS_OPTIONS_BLANK),
                                      WS_CHILD | WS_VISIBLE, kBlankStatic, 0);
    return state.fieldsGroup;
}

HWND BuildAuthorTab(DialogState& state) {
    state.current = ReportOptionsTab::kAuthor;
    state.authorGroup = CreateTabWindow(state, 0, L"BUTTON", LoadText(state.instance, IDS_OPTIONS_AUTHOR_GROUP),
                                        kGroupBoxStyle, kGroupBox, 0);
    ReportOptionsValues& values = state.options->values;
    state.options->loadTab(ReportOptionsTab::kAuthor, values);
    state.authorEdit = CreateTabWindow(state, WS_EX_STATICEDGE, L"EDIT", Wide(values.author), WS_CHILD | WS_VISIBLE,
                                       kAuthorEdit, kAuthorEditId);
    SendMessageW(state.authorEdit, EM_SETLIMITTEXT, kAuthorCharacters, 0);
    state.authorCaption = CreateTabWindow(state, 0, L"Static", LoadText(state.instance, IDS_OPTIONS_AUTHOR_CAPTION),
                                          WS_CHILD | WS_VISIBLE, kAuthorCaption, kAuthorCaptionId);
    return state.authorGroup;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Takes the shown tab's values from its controls and stores them. A check box that could not be
// created keeps the value it was built from.
void SaveCurrentTab(DialogState& state) {
    ReportOptionsValues& values = state.options->values;
    if (state.current == ReportOptionsTab::kAuthor) {
        if (state.authorEdit != nullptr) values.author = Narrow(WindowText(state.authorEdit));
    } else {
        for (std::size_t k = 0; k < kReportFieldCount; ++k) {
            if (state.checkBoxes[k] == nullptr) continue;
            values.fields[k] = SendMessageW(state.checkBoxes[k], BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
    }
    state.options->saveTab(state.current, values);
}

void DestroyIfAny(HWND& window) {
    if (window != nullptr) DestroyWindow(window);
    window = nullptr;
}

void DestroyFieldsTab(DialogState& state) {
    DestroyIfAny(state.fieldsGroup);
    for (HWND& box : state.checkBoxes) DestroyIfAny(box);
    DestroyIfAny(state.blankText);
}

void DestroyAuthorTab(DialogState& state) {
    DestroyIfAny(state.authorGroup);
    DestroyIfAny(state.authorEdit);
    DestroyIfAny(state.authorCaption);
}

void ShowTab(DialogState& state, int index) {
    SaveCurrentTab(state);
    DestroyFieldsTab(state);
    DestroyAuthorTab(state);
    state.shownFonts.clear();
    if (index == 0) {
        BuildFieldsTab(state);
    } else {
        BuildAuthorTab(state);
    }
}

bool InsertTab(HWND tab, int index, std::wstring text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    item.iImage = -1;
    return SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != -1;
}

void CreateTabControl(DialogState& state) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    RECT client{};
    GetClientRect(state.dialog, &client);
    // A control parent, so the keyboard reaches the check boxes and the edit box on the tabs.
    state.tab = CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_HOTTRACK, 0, 0, client.right,
                                client.bottom, state.dialog, nullptr, state.instance, nullptr);
    if (state.tab == nullptr) return;
    // Beneath the "終了" button, which it must not cover.
    SetWindowPos(state.tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    GiveOwnFont(state, state.tab, state.tabFont);
    if (!InsertTab(state.tab, 0, LoadText(state.instance, IDS_SECTION_ATTENDEES)) ||
        !InsertTab(state.tab, 1, LoadText(state.instance, IDS_OPTIONS_AUTHOR_TAB))) {
        DestroyWindow(state.tab);
        state.tab = nullptr;
        state.tabFont.Reset();
    }
}

void TraceClick(const DialogState& state, LPARAM position) {
    platform::DebugChannel& channel =
        state.options->debug != nullptr ? *state.options->debug : platform::SystemDebugChannel();
    char text[64];
    std::snprintf(text, sizeof text, "%d\n%d\n\n", GET_X_LPARAM(position), GET_Y_LPARAM(position));
    channel.Write(text);
}

INT_PTR CALLBACK ReportOptionsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<DialogState*>(lParam);
            SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
            state->dialog = dialog;
            CreateTabControl(*state);
            BuildFieldsTab(*state);
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (state == nullptr || state->tab == nullptr || header->hwndFrom != state->tab ||
                header->code != TCN_SELCHANGE) {
                return FALSE;
            }
            const auto selected = static_cast<int>(SendMessageW(state->tab, TCM_GETCURSEL, 0, 0));
            if (selected == 0 || selected == 1) ShowTab(*state, selected);
            return TRUE;
        }
        case WM_COMMAND:
            if (state == nullptr || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
            SaveCurrentTab(*state);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_LBUTTONDOWN:
            if (state != nullptr) TraceClick(*state, lParam);
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

INT_PTR ShowReportOptionsDialog(HWND parent, ReportOptionsDialogOptions& options) {
    // The windows are destroyed with the dialog before the state, and so before their fonts.
    DialogState state;
    state.options = &options;
    state.instance = GetModuleHandleW(nullptr);
    return DialogBoxParamW(state.instance, MAKEINTRESOURCEW(kReportOptionsDialogId), parent, ReportOptionsProcedure,
                           reinterpret_cast<LPARAM>(&state));
}

ReportOptionsDialogOptions CurrentUserReportOptions(ApplicationSettings& settings, bool ownFonts) {
    ReportOptionsDialogOptions options;
    options.loadTab = [&settings](ReportOptionsTab tab, ReportOptionsValues& values) {
        LoadReportOptionsTab(settings, tab, values);
    };
    options.saveTab = [&settings](ReportOptionsTab tab, const ReportOptionsValues& values) {
        SaveReportOptionsTab(settings, tab, values);
    };
    options.ownFonts = ownFonts;
    return options;
}

}  // namespace tavolex::ui
