#include "ui/check_dialog.h"

#include "meeting_query/store_check.h"
#include "platform/platform.h"
#include "resources/control_ids.h"
#include "resources/string_ids.h"
#include "ui/application.h"
#include "ui/window_services.h"

#include <iterator>
#include <string>

namespace tavolex::ui {

namespace {

constexpr int kIdsColumns[] = {IDS_CHECK_COLUMN_FILE, IDS_CHECK_COLUMN_STATE, IDS_CHECK_COLUMN_HEADER,
                               IDS_CHECK_COLUMN_READ, IDS_CHECK_COLUMN_LEFT};
constexpr int kColumnWidths[] = {100, 60, 110, 90, 230};  // pixels at 96 pixels per inch
// A remark of each CheckRemarkKind, in its order.
static_assert(IDS_CHECK_REMARK_NO_RECORD - IDS_CHECK_REMARK_UNREAD ==
              static_cast<int>(CheckRemarkKind::kDanglingItems) - static_cast<int>(CheckRemarkKind::kRecordsNotRead));

StoreCheck CheckCurrentStore(const Application& app) {
    return CheckLoadedStore(*app.meetings, app.addressBook->Path());
}

// What reading left aside, in the window's language: the remarks of the string table, joined.
std::wstring RemarksText(HINSTANCE instance, const FileCheck& file) {
    std::wstring text;
    for (const CheckRemark& remark : file.remarks) {
        std::wstring line = LoadText(instance, IDS_CHECK_REMARK_UNREAD + static_cast<int>(remark.kind));
        const std::size_t at = line.find(L"%d");
        if (at != std::wstring::npos) line.replace(at, 2, std::to_wstring(remark.count));
        text += (text.empty() ? L"" : L"、") + line;
    }
    return text;
}

void FillList(HWND list, const Application& app) {
    for (std::size_t c = 0; c < std::size(kIdsColumns); ++c) {
        std::wstring title = LoadText(app.instance, kIdsColumns[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = c == 2 || c == 3 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Scaled(kColumnWidths[c], WindowDpi(list));
        column.pszText = title.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    // What was left aside takes the rest of the list's width; a longer text ends in an ellipsis
    // and shows whole in its tip.
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    const StoreCheck check = CheckCurrentStore(app);
    int row = 0;
    for (const FileCheck& file : check.files) {
        const int state = !file.present ? IDS_CHECK_MISSING : file.damaged ? IDS_CHECK_DAMAGED : IDS_CHECK_OK;
        std::wstring cells[] = {Utf8ToWide(file.name), LoadText(app.instance, state),
                                file.headerRecords ? std::to_wstring(*file.headerRecords) : L"-",
                                std::to_wstring(file.recordsRead), RemarksText(app.instance, file)};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = cells[0].data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 1; c < static_cast<int>(std::size(cells)); ++c) {
            item.iSubItem = c;
            item.pszText = cells[c].data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
        ++row;
    }
    ListView_SetColumnWidth(list, static_cast<int>(std::size(kIdsColumns)) - 1, LVSCW_AUTOSIZE_USEHEADER);
}

INT_PTR CALLBACK CheckProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        FillList(GetDlgItem(dialog, IDC_CHECK_LIST), *reinterpret_cast<const Application*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowCheckDialog(Application& app) {
    if (!app.meetings || !app.addressBook) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_CHECK_DATA), app.frame, CheckProcedure,
                    reinterpret_cast<LPARAM>(&app));
}

void NoteDamagedFiles(Application& app) {
    if (!app.meetings || !app.addressBook || !app.meetings->Opened()) return;
    const std::filesystem::path folder = app.meetings->Folder();
    for (const auto& noted : app.damageNoted) {
        if (noted == folder) return;
    }
    const StoreCheck check = CheckCurrentStore(app);
    if (check.Healthy()) return;
    app.damageNoted.push_back(folder);
    std::string names;
    for (const FileCheck& file : check.files) {
        if (file.damaged && file.present) names += (names.empty() ? "" : ", ") + file.name;
    }
    if (names.empty()) return;  // files only missing are said elsewhere
    const std::string text = Narrow(LoadText(app.instance, IDS_CHECK_DAMAGED_NOTE)) + names + "\r\n\r\n" +
                             Narrow(LoadText(app.instance, IDS_CHECK_DAMAGED_HINT));
    app.ui->ShowMessage(text, Narrow(LoadText(app.instance, IDS_TITLE)), platform::MessageIcon::kWarning);
}

}  // namespace tavolex::ui
