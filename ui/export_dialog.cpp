#include "ui/export_dialog.h"

#include "platform/file_system.h"
#include "report_files/report_operations.h"
#include "resources/string_table.h"
#include "ui/window_services.h"

namespace tavolex::ui {
namespace {

namespace fs = std::filesystem;

constexpr int kHtmlReportIcon = 147;
constexpr int kRtfReportIcon = 211;
constexpr int kDestinationCapacity = 512;

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

ExportOptions* Options(HWND dialog) {
    return reinterpret_cast<ExportOptions*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

void Initialise(HWND dialog, const ExportOptions& options) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    SetDlgItemTextW(dialog, kExportLabel, LoadText(instance, kIdsExportLocation).c_str());
    const std::string& name = options.fileName;
    const std::size_t dot = name.rfind('.');
    SetDlgItemTextW(dialog, kExportReportName, Wide(dot == std::string::npos ? name : name.substr(0, dot)).c_str());
    SendDlgItemMessageW(dialog, kExportDestination, EM_LIMITTEXT, kDestinationCapacity, 0);
    SetDlgItemTextW(dialog, kExportDestination, InitialExportDestination(options).c_str());
    int icon = 0;
    if (EndsWith(name, ".htm")) icon = kHtmlReportIcon;
    if (EndsWith(name, ".rtf")) icon = kRtfReportIcon;
    if (icon != 0) {
        SendDlgItemMessageW(dialog, kExportIcon, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(icon))), 0);
    }
}

void Browse(HWND dialog, const ExportOptions& options) {
    if (options.choosers == nullptr || !options.choosers->chooseFolder) return;
    const std::optional<fs::path> folder = options.choosers->chooseFolder(dialog, kChooseFolderPrompt);
    if (!folder) return;
    SetDlgItemTextW(dialog, kExportDestination, DestinationInFolder(*folder, options.fileName).c_str());
}

void Export(HWND dialog, ExportOptions& options) {
    wchar_t text[kDestinationCapacity + 1] = {};
    GetDlgItemTextW(dialog, kExportDestination, text, kDestinationCapacity + 1);
    // Declined or failed (after its message): the dialog stays for another destination.
    if (ExportReport(options.paths, options.fileName, fs::path(text), *options.ui) != TransferOutcome::kDone) return;
    options.exported = true;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ExportProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        Initialise(dialog, *reinterpret_cast<ExportOptions*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    ExportOptions* options = Options(dialog);
    if (options == nullptr) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: Export(dialog, *options); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case kExportBrowse: Browse(dialog, *options); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

fs::path InitialExportDestination(const ExportOptions& options) {
    return InFolder(options.paths.outputFolder, options.fileName);
}

fs::path DestinationInFolder(const fs::path& folder, const std::string& fileName) {
    std::wstring text = folder.wstring();
    if (text.empty() || (text.back() != L'\\' && text.back() != L'/')) text += L'\\';
    return fs::path(text + platform::PathFromCp932(fileName).wstring());
}

bool ShowExportDialog(HINSTANCE instance, HWND parent, ExportOptions& options) {
    options.exported = false;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kExportDialogId), parent, ExportProcedure,
                    reinterpret_cast<LPARAM>(&options));
    return options.exported;
}

}  // namespace tavolex::ui
