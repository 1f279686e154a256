#include "ui/about_box.h"

#include "resources/control_ids.h"
#include "ui/window_services.h"
#include "resources/string_ids.h"

namespace tavolex::ui {

namespace {

constexpr int kAboutDialogId = IDD_ABOUT;
constexpr int kAboutReleaseId = IDC_ABOUT_RELEASE;

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto instance = reinterpret_cast<HINSTANCE>(lParam);
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT1, LoadText(instance, IDS_ABOUT_TEXT1).c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT2, LoadText(instance, IDS_ABOUT_TEXT2).c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT3, LoadText(instance, IDS_ABOUT_TEXT3).c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT4, LoadText(instance, IDS_ABOUT_TEXT4).c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, LoadText(instance, IDS_ABOUT_VERSION).c_str());
        // The release of this build beside the version the settings record (IDS_ABOUT_VERSION).
        SetDlgItemTextW(dialog, kAboutReleaseId, L"Tavolex \x30D0\x30FC\x30B8\x30E7\x30F3 " TAVOLEX_VERSION);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kAboutDialogId), owner, AboutProcedure,
                    reinterpret_cast<LPARAM>(instance));
}

}  // namespace tavolex::ui
