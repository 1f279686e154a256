#include "ui/create_report_dialog.h"

#include "resources/control_ids.h"
#include "meeting_store/records.h"
#include "settings/settings_key.h"
#include "platform/win32/unique_handle.h"
#include "ui/window_services.h"
#include "resources/string_ids.h"

#include <array>
#include <string_view>

namespace tavolex::ui {
namespace {

constexpr int kNameEdit = IDC_CREATE_NAME;
constexpr int kFirstSectionBox = IDC_CREATE_SECTION1;
constexpr int kCustomReportButton = IDC_CREATE_CUSTOM_REPORT;
constexpr int kTemplateList = IDC_CREATE_TEMPLATE_LIST;
constexpr int kInstantList = IDC_CREATE_INSTANT_LIST;
constexpr int kOpenFolderButton = IDC_CREATE_OPEN_FOLDER;
constexpr int kInstantReportButton = IDC_CREATE_INSTANT_REPORT;
constexpr int kTemplateReportButton = IDC_CREATE_TEMPLATE_REPORT;
constexpr int kItemHeight = 17;
constexpr int kIconSize = 15;

// Frame and check-box texts: control id and string id.
constexpr std::array<std::array<int, 2>, 10> kTexts = {{{IDC_CREATE_INSTANT_GROUP, IDS_CREATE_INSTANT_GROUP},
                                                        {IDC_CREATE_CUSTOM_GROUP, IDS_CREATE_CUSTOM_GROUP},
                                                        {IDC_CREATE_NAME_GROUP, IDS_CREATE_NAME_GROUP},
                                                        {IDC_CREATE_TEMPLATE_GROUP, IDS_CREATE_TEMPLATE_GROUP},
                                                        {IDC_CREATE_SECTION1, IDS_SECTION_AUTHOR},
                                                        {IDC_CREATE_SECTION2, IDS_SECTION_AGENDA},
                                                        {IDC_CREATE_SECTION3, IDS_SECTION_TODO},
                                                        {IDC_CREATE_SECTION4, IDS_SECTION_NOTES},
                                                        {IDC_CREATE_SECTION5, IDS_SECTION_SKETCHES},
                                                        {IDC_CREATE_SECTION6, IDS_SECTION_ATTENDEES}}};

// The dialog's own state: the caller's options and the pictures and font it draws with.
struct DialogState {
    CreateReportOptions* options = nullptr;
    UniqueBitmap htmlImage;
    UniqueBitmap htmlMask;
    UniqueBitmap rtfImage;
    UniqueBitmap rtfMask;
    UniqueFont itemFont;
};

DialogState* State(HWND dialog) { return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

std::string SelectedText(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

void SaveRememberedChoices(HWND dialog, CreateReportOptions& options) {
    if (options.userKey == nullptr) return;
    options.userKey->OpenUserKey(options.userDirectory);
    StoreRememberedChoices(*options.userKey, SelectedText(dialog, kTemplateList), SelectedText(dialog, kInstantList));
}

std::string ReportNameText(HWND dialog) {
    wchar_t text[kReportNameCapacity + 1] = {};
    GetDlgItemTextW(dialog, kNameEdit, text, static_cast<int>(kReportNameCapacity + 1));
    std::string name = Narrow(text);
    if (name.size() > kReportNameCapacity) name.resize(kReportNameCapacity);
    return name;
}

void FillLists(HWND dialog, const CreateReportOptions& options) {
    HWND templates = GetDlgItem(dialog, kTemplateList);
    for (const std::string& name : options.choices.templates) {
        SendMessageW(templates, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    }
    SendMessageW(templates, CB_SETCURSEL, static_cast<WPARAM>(options.choices.templateSelection), 0);

    HWND instant = GetDlgItem(dialog, kInstantList);
    constexpr std::array<ReportKind, 2> kKinds = {ReportKind::kExecutive, ReportKind::kAgenda};
    for (std::size_t i = 0; i < options.choices.instantNames.size() && i < kKinds.size(); ++i) {
        const LRESULT index = SendMessageW(instant, CB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(Wide(options.choices.instantNames[i]).c_str()));
        SendMessageW(instant, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(kKinds[i]));
    }
    SendMessageW(instant, CB_SETCURSEL, static_cast<WPARAM>(options.choices.instantSelection), 0);
}

void Initialise(HWND dialog, DialogState& state, HINSTANCE instance) {
    CreateReportOptions& options = *state.options;
    state.htmlImage.Reset(LoadBitmapW(instance, MAKEINTRESOURCEW(211)));
    state.htmlMask.Reset(LoadBitmapW(instance, MAKEINTRESOURCEW(215)));
    state.rtfImage.Reset(LoadBitmapW(instance, MAKEINTRESOURCEW(258)));
    state.rtfMask.Reset(LoadBitmapW(instance, MAKEINTRESOURCEW(259)));
    if (options.japaneseFont) {
        HDC dc = GetDC(dialog);
        state.itemFont = MakeJapaneseFont(dc);
        ReleaseDC(dialog, dc);
    }
    FillLists(dialog, options);
    for (const auto& [control, text] : kTexts) SetDlgItemTextW(dialog, control, LoadText(instance, text).c_str());
    SendDlgItemMessageW(dialog, kNameEdit, EM_LIMITTEXT, kReportNameCapacity, 0);
    SetDlgItemTextW(dialog, kNameEdit, Wide(options.reportName).c_str());
    for (std::size_t i = 0; i < options.choices.sections.size(); ++i) {
        CheckDlgButton(dialog, kFirstSectionBox + static_cast<int>(i),
                       options.choices.sections[i] ? BST_CHECKED : BST_UNCHECKED);
    }
}

void Finish(HWND dialog, CreateReportOptions& options, CreateReportResult result) {
    if (result == CreateReportResult::kStay) {
        SaveRememberedChoices(dialog, options);
        return;
    }
    options.reportMade = true;
    EndDialog(dialog, IDOK);
}

void MakeTemplateReport(HWND dialog, CreateReportOptions& options) {
    const std::string templateName = SelectedText(dialog, kTemplateList);
    if (options.userKey != nullptr) options.userKey->OpenUserKey(options.userDirectory);
    Finish(dialog, options,
           CreateTemplateReport(*options.writer, *options.meeting, options.paths, templateName, ReportNameText(dialog),
                                *options.ui));
}

void MakeBuiltInReport(HWND dialog, CreateReportOptions& options, bool custom) {
    ReportKind kind = ReportKind::kCustom;
    if (!custom) {
        HWND instant = GetDlgItem(dialog, kInstantList);
        const LRESULT index = SendMessageW(instant, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return;
        kind = static_cast<ReportKind>(SendMessageW(instant, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    if (options.userKey != nullptr) options.userKey->OpenUserKey(options.userDirectory);
    Finish(dialog, options,
           CreateBuiltInReport(*options.writer, *options.meeting, options.paths, kind, ReportNameText(dialog),
                               *options.ui));
}

void OpenTemplateFolder(CreateReportOptions& options) {
    if (options.choosers == nullptr || !options.choosers->exploreFolder) return;
    if (options.choosers->exploreFolder(options.mainWindow, options.paths.templateFolder) == ExploreResult::kNotFound) {
        options.ui->ShowMessage(kUnableToOpenFolder, "", platform::MessageIcon::kNone);
    }
}

void OnCommand(HWND dialog, CreateReportOptions& options, int id, int notification) {
    if (id >= kFirstSectionBox && id < kFirstSectionBox + static_cast<int>(kSectionSettingNames.size())) {
        if (notification == BN_CLICKED && options.userKey != nullptr) {
            options.userKey->OpenUserKey(options.userDirectory);
            StoreSection(*options.userKey, id - kFirstSectionBox, IsDlgButtonChecked(dialog, id) == BST_CHECKED);
        }
        SaveRememberedChoices(dialog, options);
        return;
    }
    switch (id) {
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
        case kOpenFolderButton: OpenTemplateFolder(options); break;
        case kTemplateReportButton: MakeTemplateReport(dialog, options); break;
        case kInstantReportButton: MakeBuiltInReport(dialog, options, false); break;
        case kCustomReportButton: MakeBuiltInReport(dialog, options, true); break;
        default: SaveRememberedChoices(dialog, options); break;
    }
}

// A list item: the icon put with its mask, the text beside it, the highlight only while the
// list is dropped down.
void DrawItem(const DialogState& state, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    const bool dropped = SendMessageW(item.hwndItem, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const bool inBox = (item.itemState & ODS_COMBOBOXEDIT) != 0;
    const bool highlighted = dropped && !inBox && (item.itemState & ODS_SELECTED) != 0;
    const COLORREF oldText = SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    HGDIOBJ oldFont = state.itemFont ? SelectObject(dc, state.itemFont.Get()) : nullptr;

    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    if (length > 0) {
        SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
    } else {
        text.clear();
    }
    const int baseUnit = LOWORD(GetDialogBaseUnits());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const RECT& r = item.rcItem;
    ExtTextOutW(dc, 3 * (baseUnit / 4) + 21, (r.top + r.bottom - metrics.tmHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &r,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);

    HBITMAP image = nullptr;
    HBITMAP mask = nullptr;
    const std::wstring_view view(text);
    if (item.CtlID == kInstantList || (view.size() >= 4 && view.substr(view.size() - 4) == L".htm")) {
        image = state.htmlImage.Get();
        mask = state.htmlMask.Get();
    } else if (view.size() >= 4 && view.substr(view.size() - 4) == L".rtf") {
        image = state.rtfImage.Get();
        mask = state.rtfMask.Get();
    }
    if (image != nullptr && mask != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, mask);
        const int x = baseUnit / 4 + 2;
        BitBlt(dc, x, r.top + 1, kIconSize, kIconSize, memory, 0, 0, SRCAND);
        SelectObject(memory, image);
        BitBlt(dc, x, r.top + 1, kIconSize, kIconSize, memory, 0, 0, SRCPAINT);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (dropped && (item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &r);

    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (oldFont != nullptr) SelectObject(dc, oldFont);
}

INT_PTR CALLBACK CreateReportProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<DialogState*>(lParam);
            SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
            Initialise(dialog, *state, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)));
            return TRUE;
        }
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->itemHeight < kItemHeight) measure->itemHeight = kItemHeight;
            return TRUE;
        }
        case WM_DRAWITEM: {
            const DialogState* state = State(dialog);
            if (state == nullptr) return FALSE;
            DrawItem(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        case WM_COMMAND: {
            DialogState* state = State(dialog);
            if (state == nullptr) return FALSE;
            OnCommand(dialog, *state->options, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        case WM_DESTROY: {
            DialogState* state = State(dialog);
            if (state != nullptr) SaveRememberedChoices(dialog, *state->options);
            return FALSE;
        }
        default: return FALSE;
    }
}

}  // namespace

bool ShowCreateReportDialog(HINSTANCE instance, HWND parent, CreateReportOptions& options) {
    DialogState state;
    state.options = &options;
    options.reportMade = false;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kCreateReportDialogId), parent, CreateReportProcedure,
                    reinterpret_cast<LPARAM>(&state));
    return options.reportMade;
}

}  // namespace tavolex::ui
