// The report pane: the report list over the quick view.
#include "ui/application.h"

#include "report_files/report_name.h"
#include "report_files/report_operations.h"
#include "ui/frame_commands.h"
#include "ui/window_services.h"

namespace tavolex::ui {

LRESULT CALLBACK ReportPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application* found = ApplicationOf(window, message, lParam);
    if (found == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    Application& app = *found;
    LRESULT result = 0;
    bool handled = true;
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!app.reportList || header->hwndFrom != app.reportList->Window()) break;
            switch (header->code) {
                case LVN_GETDISPINFOW: app.reportList->SupplyText(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
                case LVN_ODFINDITEMW:
                    result = app.reportList->FindRow(*reinterpret_cast<NMLVFINDITEMW*>(lParam));
                    break;
                case NM_DBLCLK: OpenSelectedReport(app, false); break;
                case LVN_COLUMNCLICK:
                    app.reportList->Sort(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem, app.reportSort.Click());
                    break;
                case LVN_KEYDOWN:
                    if (reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) DeleteSelectedReport(app);
                    break;
                case LVN_ENDLABELEDITW: {
                    const auto* edit = reinterpret_cast<NMLVDISPINFOW*>(lParam);
                    if (edit->item.pszText != nullptr) {
                        const std::string newName = EditedReportName(Narrow(edit->item.pszText));
                        ReportEntry entry;
                        if (SelectedReport(app, entry) &&
                            RenameReport(CurrentReportPaths(app), entry.fileName, newName, *app.ui)) {
                            app.reportList->SetRowText(edit->item.iItem, 0, newName);
                        }
                        app.reportList->Refill(0);
                    }
                    result = FALSE;
                    break;
                }
                default: break;
            }
            break;
        }
        case WM_CONTEXTMENU:
            if (app.reportList && reinterpret_cast<HWND>(wParam) == app.reportList->Window()) {
                ShowContextMenu(app.instance, window, app.reportList->SelectedRow() >= 0 ? kReportMenuId : kViewMenuId,
                                app.reportList->View(), app.mailer && app.mailer->Available());
            }
            break;
        case WM_DROPFILES: ImportDroppedFile(app, reinterpret_cast<HDROP>(wParam)); break;
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == kCmdPaneOpen) {
                OpenSelectedReport(app, false);
            } else if (command == kCmdExport) {
                ExportSelectedReport(app);
            } else if (command == kCmdDelete) {
                DeleteSelectedReport(app);
            } else if (command == kCmdRename) {
                const int row = app.reportList->SelectedRow();
                if (row >= 0) {
                    SetFocus(app.reportList->Window());
                    ListView_EditLabel(app.reportList->Window(), row);
                }
            } else if (command == kCmdPaneMail) {
                MailSelectedReport(app, false);
            } else if (const std::uint32_t code = PaneViewCode(command); code != 0) {
                ApplyPaneView(app, *app.reportList, code, false);
            }
            break;
        }
        default: handled = false; break;
    }
    if (app.reportList && app.toolBar != nullptr) {
        const int enabled = app.reportList->SelectedRow() >= 0 ? 1 : 0;
        if (enabled != app.reportCommandsEnabled) {
            SetOpenReportEnabled(app.toolBar, enabled != 0);
            SetDeleteEnabled(app.toolBar, enabled != 0);
            SetExportEnabled(app.toolBar, enabled != 0);
            SetMailEnabled(app.toolBar, enabled != 0 && app.mailer && app.mailer->Available());
            app.reportCommandsEnabled = enabled;
        }
    }
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavolex::ui
