#include "ui/check_dialog.h"

#include "meeting_query/store_check.h"
#include "platform/platform.h"
#include "resources/control_ids.h"
#include "ui/application.h"
#include "ui/window_services.h"

#include <iterator>
#include <string>

namespace tavolex::ui {

namespace {

constexpr int kIdsColumns[] = {3621, 3622, 3623, 3624, 3625};  // file, state, header, read, left aside
constexpr int kColumnWidths[] = {100, 60, 110, 90, 230};       // pixels at 96 pixels per inch
constexpr int kIdsStateOk = 3626;
constexpr int kIdsStateMissing = 3627;
constexpr int kIdsStateDamaged = 3628;
constexpr int kIdsDamagedNote = 3629;  // before the damaged files' names
constexpr int kIdsDamagedHint = 3630;  // after them: where to see more
constexpr int kIdsRemarkFirst = 3631;  // a remark of each CheckRemarkKind, in its order, "%d" its count

StoreCheck CheckCurrentStore(const Application& app) {
    return CheckLoadedStore(*app.meetings, app.addressBook->Path());
}

std::wstring Utf8Wide(const std::string& utf8) { return Wide(platform::Utf8ToCp932(utf8)); }

// What reading left aside, in the window's language: the remarks of the string table, joined.
std::wstring RemarksText(HINSTANCE instance, const FileCheck& file) {
    std::wstring text;
    for (const CheckRemark& remark : file.remarks) {
        std::wstring line = LoadText(instance, kIdsRemarkFirst + static_cast<int>(remark.kind));
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
        const int state = !file.present ? kIdsStateMissing : file.damaged ? kIdsStateDamaged : kIdsStateOk;
        std::wstring cells[] = {Utf8Wide(file.name), LoadText(app.instance, state),
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
    const std::string text = Narrow(LoadText(app.instance, kIdsDamagedNote)) + names + "\r\n\r\n" +
                             Narrow(LoadText(app.instance, kIdsDamagedHint));
    app.ui->ShowMessage(text, Narrow(LoadText(app.instance, 103)), platform::MessageIcon::kWarning);
}

}  // namespace tavolex::ui
