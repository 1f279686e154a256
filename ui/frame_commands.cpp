// The frame's commands: the WM_COMMAND dispatch of the menu and the tool bar, and the commands
// the panes share with it (the selected meeting and report, the report operations, the views).
#include "ui/frame_commands.h"

#include "ui/about_box.h"
#include "ui/application.h"
#include "session/report_settings.h"
#include "ui/export_runner.h"

#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_listing.h"
#include "report_files/report_name.h"
#include "report_files/report_operations.h"
#include "report_files/report_viewer.h"
#include "resources/string_table.h"
#include "session/user_change.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "ui/create_report_dialog.h"
#include "ui/export_dialog.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"
#include "ui/window_services.h"
#include "views/quick_view.h"

#include <shellapi.h>

namespace tavolex::ui {

namespace {

constexpr char kCaption[] = "Tavolex";
constexpr wchar_t kSupportAddress[] = L"https://www.brenmark.example/tavolex/support/";
constexpr wchar_t kContactAddress[] = L"https://www.brenmark.example/tavolex/contact/";

constexpr char kNoMeetingMessage[] =
    "No meeting has been selected to report on.\n\nPlease select a meeting in the left 'Meeting' window and try again.";
constexpr char kNoReportToOpen[] =
    "No report has been selected.\n\nPlease select a report to open in the right 'Report' window and try again.";
constexpr char kNoReportToExport[] =
    "No report has been selected for exporting.\n\nPlease select a report in the right 'Report' window and try again.";
constexpr char kNoReportSent[] =
    "No report has been sent.\n\nEither because a report hasn't been selected in the right 'Report' window\nor an issue "
    "with the e-mail client.";
constexpr char kNoReportToDelete[] =
    "Only reports can be deleted.\n\nPlease select an item in the right 'Report' window and try again.\n\nTo delete "
    "meetings, do so from your PDA and hotsync.";
constexpr char kNoMapi[] = "No MAPI Client is available, please upgrade your email package.";

void Inform(std::string_view text, std::string_view caption = kCaption) {
    App().ui->ShowMessage(text, caption, platform::MessageIcon::kInformation);
}

QuickViewFields CurrentQuickViewFields() {
    Application& app = App();
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    return QuickViewFieldsFromSettings([&](std::string_view name) {
        std::uint32_t value = 0;
        return key.ReadValue(name, value) == platform::kSettingsOk && value == 1;
    });
}

// The Create Report dialog for the meeting; the report list is refilled once a report was made.
void ShowCreateReport(const Meeting& meeting) {
    Application& app = App();
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    CreateReportOptions options;
    options.choices = LoadCreateReportChoices(
        key, app.settings->templateFolder,
        {Narrow(LoadText(app.instance, kIdsExecutiveReport)), Narrow(LoadText(app.instance, kIdsAgendaReport))});
    options.reportName = ProposedReportName(meeting.szTitle, *app.ui);
    options.folder = app.reportFolder.get();
    options.meeting = &meeting;
    options.paths = CurrentReportPaths();
    options.userKey = &key;
    options.userDirectory = app.settings->userDirectory;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    options.mainWindow = app.frame;
    options.japaneseFont = app.windowsMajorVersion > 4;
    if (ShowCreateReportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

void OpenWithShell(const wchar_t* target, const char* caption, bool withIcon) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(App().frame, L"open", target, nullptr, nullptr, SW_SHOWNORMAL));
    if (result == ERROR_FILE_NOT_FOUND) {
        App().ui->ShowMessage("Unable to find file.", caption,
                              withIcon ? platform::MessageIcon::kInformation : platform::MessageIcon::kNone);
    }
}

void ApplyBothViews(std::uint32_t code) {
    Application& app = App();
    RepaintFrame();
    app.settings->meetingView = code;
    app.settings->reportView = code;
    if (app.meetingList) ApplyPaneView(*app.meetingList, code, true);
    if (app.reportList) ApplyPaneView(*app.reportList, code, false);
}

void CycleViews() {
    Application& app = App();
    RepaintFrame();
    std::uint32_t meetingView = app.settings->meetingView + 1;
    std::uint32_t reportView = app.settings->reportView + 1;
    if (meetingView > 4) meetingView = 1;
    if (reportView > 4) reportView = 1;
    app.settings->reportView = reportView;
    ApplyPaneView(*app.meetingList, meetingView, true);
    ApplyPaneView(*app.reportList, reportView, false);
}

// The File menu's exports over the current user's store; the archive opens in the viewer as a
// report does.
void RunDesktopExport(HWND frame, int command) {
    Application& app = App();
    if (!app.meetings || !app.addressBook || !app.reportFolder) return;
    ExportRun run;
    run.instance = app.instance;
    run.owner = frame;
    run.store = app.meetings.get();
    run.book = app.addressBook.get();
    run.reports = app.reportFolder.get();
    run.reportOptions = [] {
        Application& a = App();
        a.settings->userKey.OpenUserKey(a.settings->userDirectory);
        return ReadReportOptions(a.settings->userKey, a.settings->outputFolder, a.settings->templateFolder);
    };
    run.choosers = &app.choosers;
    run.ui = app.ui;
    run.openInViewer = [](const std::filesystem::path& index) {
        Application& a = App();
        ViewerSettings viewer;
        a.settings->userKey.OpenUserKey(a.settings->userDirectory);
        a.settings->userKey.ReadValue("AutoView", viewer.autoView);
        viewer.browserPath = PathFromSettingsText(a.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
        OpenReportPath(index, viewer, platform::SystemLauncher(), *a.ui);
    };
    RunExportCommand(run, command);
}

}  // namespace

std::int32_t SelectedMeeting() {
    Application& app = App();
    if (!app.meetingList) return -1;
    const std::int64_t parameter = app.meetingList->RowParameter(app.meetingList->SelectedRow());
    return parameter >= 0 && parameter < app.meetings->MeetingCount() ? static_cast<std::int32_t>(parameter) : -1;
}

void ShowInQuickView(std::int32_t meeting, int itemRow) {
    Application& app = App();
    const Meeting* record = app.meetings->MeetingAt(meeting);
    if (record == nullptr || !app.quickView) return;
    const std::int64_t entry = itemRow >= 0 ? app.itemList->RowParameter(itemRow) : -1;
    app.quickView->Show(QuickViewText(*record, app.itemEntries, static_cast<std::int32_t>(entry), *app.addressBook,
                                      CurrentQuickViewFields()));
}

void CreateReportForSelection() {
    Application& app = App();
    const int row = app.meetingList ? app.meetingList->SelectedRow() : -1;
    const std::int32_t meeting = SelectedMeeting();
    if (row < 0 || meeting < 0) {
        Inform(kNoMeetingMessage);
        return;
    }
    app.currentMeeting = meeting;
    RECT client{};
    GetClientRect(app.frame, &client);
    RefreshQuickView(client);
    ListView_SetItemState(app.meetingList->Window(), row, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
    ShowCreateReport(*app.meetings->Meetings().at(static_cast<std::size_t>(meeting)));
}

// The report of the selected row: the file at the row's position in the folder, as long as it is
// still the file the row shows. A folder changed since the refill would make the position name
// another file, so the row's name decides then; a report no longer there is no selection.
bool SelectedReport(ReportEntry& entry) {
    Application& app = App();
    if (!app.reportList) return false;
    const int row = app.reportList->SelectedRow();
    const std::int64_t position = app.reportList->RowParameter(row);
    if (position < 0) return false;
    const std::string shown = app.reportList->RowText(row, 0);
    if (ReportEntryAt(app.settings->outputFolder, static_cast<int>(position) + 1, entry) >= 0 && entry.name == shown) {
        return true;
    }
    for (ReportEntry& candidate : ListReports(app.settings->outputFolder)) {
        if (candidate.name == shown) {
            entry = std::move(candidate);
            return true;
        }
    }
    return false;
}

void OpenSelectedReport(bool fromMenu) {
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        if (fromMenu) Inform(kNoReportToOpen);
        return;
    }
    ViewerSettings viewer;
    Application& app = App();
    app.settings->userKey.OpenUserKey(app.settings->userDirectory);
    app.settings->userKey.ReadValue("AutoView", viewer.autoView);
    viewer.browserPath = PathFromSettingsText(app.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
    OpenReportPath(entry.path, viewer, platform::SystemLauncher(), *app.ui);
}

void MailSelectedReport(bool fromMenu) {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        if (fromMenu) Inform(kNoReportSent);
        return;
    }
    if (!app.mailer || !app.mailer->Available()) {
        Inform(kNoMapi);
        return;
    }
    app.mailer->SendReport(CurrentReportPaths(), entry.fileName, *app.ui);
}

void DeleteSelectedReport() {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        Inform(kNoReportToDelete);
        return;
    }
    DeleteReport(CurrentReportPaths(), entry.fileName, *app.ui);
    app.reportList->Refill(0);
}

void ImportDroppedFile(HDROP drop) {
    Application& app = App();
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring file(static_cast<std::size_t>(length) + 1, L'\0');
    file.resize(DragQueryFileW(drop, 0, file.data(), length + 1));
    DragFinish(drop);
    if (file.empty()) return;
    ImportReport(CurrentReportPaths(), std::filesystem::path(file), *app.ui);
    app.reportList->Refill(-1);
}

// The export dialog for the selected report; the report list is refilled after an export.
void ExportSelectedReport() {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        Inform(kNoReportToExport);
        return;
    }
    ExportOptions options;
    options.paths = CurrentReportPaths();
    options.fileName = entry.fileName;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    if (ShowExportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

UserChangeCallbacks MakeUserChangeCallbacks() {
    UserChangeCallbacks callbacks;
    callbacks.clearCurrentMeeting = [] {
        App().currentMeeting = -1;
        App().itemEntries.clear();
    };
    callbacks.applyViews = [](std::uint32_t meetingView, std::uint32_t reportView) {
        if (App().meetingList) App().meetingList->SetView(meetingView);
        if (App().reportList) App().reportList->SetView(reportView);
    };
    callbacks.setQuickViewText = [](std::string_view text) {
        if (App().quickView) App().quickView->Show(text);
    };
    callbacks.refillLists = [] {
        Application& app = App();
        if (app.meetingList) app.meetingList->Refill(-1);
        if (app.reportList) app.reportList->Refill(-1);
        RefillItemList(-1);
    };
    callbacks.repaintFrame = RepaintFrame;
    callbacks.setUserBoxSelection = [](int index) {
        if (App().userBox != nullptr) SendMessageW(App().userBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    };
    return callbacks;
}

void OnCommand(HWND frame, int command) {
    Application& app = App();
    switch (command) {
        case kCmdAbout: ShowAboutBox(app.instance, frame); break;
        case kCmdExit: DestroyWindow(frame); break;
        case kCmdCreateReport: CreateReportForSelection(); break;
        case kCmdCycleViews: CycleViews(); break;
        case kCmdRefresh: RepaintFrame(); break;
        case kCmdDelete: DeleteSelectedReport(); break;
        case kCmdLargeIcons: ApplyBothViews(2); break;
        case kCmdSmallIcons: ApplyBothViews(3); break;
        case kCmdDetails: ApplyBothViews(1); break;
        case kCmdList: ApplyBothViews(4); break;
        case kCmdSupport: OpenWithShell(kSupportAddress, "Tavolex Meeting", true); break;
        case kCmdContact: OpenWithShell(kContactAddress, "Tavolex Meeting", true); break;
        case kCmdOpenReport: OpenSelectedReport(true); break;
        case kCmdHelp: OpenWithShell(Wide(app.settings->helpPath).c_str(), "", false); break;
        case kCmdMail: MailSelectedReport(true); break;
        case kCmdExport: ExportSelectedReport(); break;
        case kCmdReportOptions: {
            ReportOptionsDialogOptions options = CurrentUserReportOptions(*app.settings, app.windowsMajorVersion > 4);
            ShowReportOptionsDialog(frame, options);
            RepaintFrame();
            break;
        }
        case kCmdPreferences: {
            PreferencesOptions options = LoadPreferences(*app.settings);
            const INT_PTR result = ShowPreferencesDialog(frame, options, CurrentUserPreferencesActions(*app.settings, *app.users));
            if (result == IDOK && app.reportList) app.reportList->Refill(-1);
            break;
        }
        default: RunDesktopExport(frame, command); break;
    }
}

void ApplyPaneView(PaneListView& list, std::uint32_t code, bool meetingPane) {
    Application& app = App();
    if (!IsViewCode(code)) return;
    (meetingPane ? app.settings->meetingView : app.settings->reportView) = code;
    list.SetView(code);
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    if (app.settings->meetingView != 0) key.WriteDword("MeetingView", app.settings->meetingView);
    if (app.settings->reportView != 0) key.WriteDword("ReportView", app.settings->reportView);
    list.Refill(0);
}

void ShowContextMenu(HWND pane, int menuId, std::uint32_t view, bool mailAvailable) {
    UniqueMenu menu(LoadMenuW(App().instance, MAKEINTRESOURCEW(menuId)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    const int viewCommands[] = {kCmdPaneDetails, kCmdPaneLargeIcons, kCmdPaneSmallIcons, kCmdPaneList};
    if (view >= 1 && view <= 4) CheckMenuItem(popup, static_cast<UINT>(viewCommands[view - 1]), MF_BYCOMMAND | MF_CHECKED);
    if (!mailAvailable) EnableMenuItem(popup, kCmdPaneMail, MF_BYCOMMAND | MF_GRAYED);
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, pane, nullptr);
}

std::uint32_t PaneViewCode(int command) {
    switch (command) {
        case kCmdPaneLargeIcons: return 2;
        case kCmdPaneSmallIcons: return 3;
        case kCmdPaneList: return 4;
        case kCmdPaneDetails: return 1;
        default: return 0;
    }
}

}  // namespace tavolex::ui
