// The frame's commands: the WM_COMMAND dispatch of the menu and the tool bar, and the commands
// the panes share with it (the selected meeting and report, the report operations, the views).
#include "ui/frame_commands.h"

#include "ui/about_box.h"
#include "ui/check_dialog.h"
#include "ui/application.h"
#include "session/report_settings.h"
#include "ui/export_runner.h"

#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_listing.h"
#include "report_files/report_name.h"
#include "report_files/report_operations.h"
#include "report_files/report_viewer.h"
#include "report_files/report_writer.h"
#include "report/report_folder.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "session/user_change.h"
#include "session/user_place.h"
#include "session/user_stores.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "ui/create_report_dialog.h"
#include "ui/export_dialog.h"
#include "ui/palm_folder.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"
#include "ui/todo_list_window.h"
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
    "No report has been sent.\n\nEither because a report hasn't been selected in the right 'Report' window\nor an "
    "issue "
    "with the e-mail client.";
constexpr char kNoReportToDelete[] =
    "Only reports can be deleted.\n\nPlease select an item in the right 'Report' window and try again.\n\nTo delete "
    "meetings, do so from your PDA and hotsync.";
constexpr char kNoMapi[] = "No MAPI Client is available, please upgrade your email package.";

void Inform(Application& app, std::string_view text, std::string_view caption = kCaption) {
    app.ui->ShowMessage(text, caption, platform::MessageIcon::kInformation);
}

QuickViewFields CurrentQuickViewFields(Application& app) {
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    return QuickViewFieldsFromSettings([&](std::string_view name) {
        std::uint32_t value = 0;
        return key.ReadValue(name, value) == platform::kSettingsOk && value == 1;
    });
}

// The Create Report dialog for the meeting; the report list is refilled once a report was made.
void ShowCreateReport(Application& app, const Meeting& meeting) {
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    CreateReportOptions options;
    options.choices = LoadCreateReportChoices(
        key, app.settings->templateFolder,
        {Narrow(LoadText(app.instance, IDS_EXECUTIVE_REPORT)), Narrow(LoadText(app.instance, IDS_AGENDA_REPORT))});
    options.reportName = ProposedReportName(meeting.szTitle, *app.ui);
    options.writer = app.reportWriter.get();
    options.meeting = &meeting;
    options.paths = CurrentReportPaths(app);
    options.userKey = &key;
    options.userDirectory = app.settings->userDirectory;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    options.mainWindow = app.frame;
    options.japaneseFont = app.windowsMajorVersion > 4;
    if (ShowCreateReportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

void OpenWithShell(Application& app, const wchar_t* target, const char* caption, bool withIcon) {
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(app.frame, L"open", target, nullptr, nullptr, SW_SHOWNORMAL));
    if (result == ERROR_FILE_NOT_FOUND) {
        app.ui->ShowMessage("Unable to find file.", caption,
                            withIcon ? platform::MessageIcon::kInformation : platform::MessageIcon::kNone);
    }
}

void ApplyBothViews(Application& app, std::uint32_t code) {
    RepaintFrame(app);
    app.settings->meetingView = code;
    app.settings->reportView = code;
    if (app.meetingList) ApplyPaneView(app, *app.meetingList, code, true);
    if (app.reportList) ApplyPaneView(app, *app.reportList, code, false);
}

void CycleViews(Application& app) {
    RepaintFrame(app);
    std::uint32_t meetingView = app.settings->meetingView + 1;
    std::uint32_t reportView = app.settings->reportView + 1;
    if (meetingView > 4) meetingView = 1;
    if (reportView > 4) reportView = 1;
    app.settings->reportView = reportView;
    ApplyPaneView(app, *app.meetingList, meetingView, true);
    ApplyPaneView(app, *app.reportList, reportView, false);
}

// A user of the Palm folder opened for an export of every user: the current user's stores as the
// window holds them, another's loaded from the folders its place gives, with its own report settings.
PartOpened OpenExportUser(Application& app, const std::string& user, UserExportPart& part) {
    UserPlace place = app.place;
    const int index = IndexOfUser(place, platform::Utf8ToCp932(user));
    if (index < 0) return PartOpened::kLeftOut;
    if (index == app.place.current) {
        part.request.store = app.meetings.get();
        part.request.book = app.addressBook.get();
        part.request.reports = app.reportWriter.get();
        app.settings->userKey.OpenUserKey(app.settings->userDirectory);
        part.request.archive.reportOptions =
            ReadReportOptions(app.settings->userKey, app.settings->outputFolder, app.settings->templateFolder);
    } else {
        struct Opened {
            UserStores stores;
            std::unique_ptr<ReportFolder> generator;
            std::unique_ptr<ReportWriter> writer;
        };
        SelectPlaceUser(place, index, PlaceSource::kOption, *app.settings);
        auto opened = std::make_shared<Opened>();
        opened->stores = LoadUserStores(place.dataFolder, place.addressBook);
        opened->generator = std::make_unique<ReportFolder>(*opened->stores.meetings, *opened->stores.book);
        opened->writer = std::make_unique<ReportWriter>(*opened->generator, *app.ui);
        part.request.store = opened->stores.meetings.get();
        part.request.book = opened->stores.book.get();
        part.request.reports = opened->writer.get();
        part.request.archive.reportOptions =
            ReadReportOptions(app.settings->userKey, place.reportFolder, app.settings->templateFolder);
        app.settings->userKey.OpenUserKey(app.settings->userDirectory);
        part.keep = opened;
    }
    const PlaceUser& chosen = place.users[static_cast<std::size_t>(index)];
    part.directory = chosen.directory;
    part.request.userFolder = chosen.folders.user;
    part.request.meetings = AllMeetings(*part.request.store);
    part.request.now = std::time(nullptr);
    return PartOpened::kOpened;
}

// The File menu's exports over the current user's store, or every user's; the archive opens in the
// viewer as a report does.
void RunDesktopExport(Application& app, HWND frame, int command) {
    if (!app.meetings || !app.addressBook || !app.reportWriter) return;
    ExportRun run;
    run.instance = app.instance;
    run.owner = frame;
    run.store = app.meetings.get();
    run.book = app.addressBook.get();
    if (const PlaceUser* user = app.place.CurrentUser()) run.userFolder = user->folders.user;
    run.reports = app.reportWriter.get();
    run.reportOptions = [&app] {
        app.settings->userKey.OpenUserKey(app.settings->userDirectory);
        return ReadReportOptions(app.settings->userKey, app.settings->outputFolder, app.settings->templateFolder);
    };
    run.choosers = &app.choosers;
    run.ui = app.ui;
    run.openInViewer = [&app](const std::filesystem::path& index) {
        ViewerSettings viewer;
        app.settings->userKey.OpenUserKey(app.settings->userDirectory);
        app.settings->userKey.ReadValue("AutoView", viewer.autoView);
        viewer.browserPath = PathFromSettingsText(app.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
        OpenReportPath(index, viewer, platform::SystemLauncher(), *app.ui);
    };
    for (const PlaceUser& user : app.place.users) run.users.push_back(platform::Cp932ToUtf8(user.name));
    if (const PlaceUser* user = app.place.CurrentUser()) run.currentUser = platform::Cp932ToUtf8(user->name);
    run.openUser = [&app](const std::string& user, UserExportPart& part) { return OpenExportUser(app, user, part); };
    RunExportCommand(run, command);
}

}  // namespace

std::int32_t SelectedMeeting(Application& app) {
    if (!app.meetingList) return -1;
    const std::int64_t parameter = app.meetingList->RowParameter(app.meetingList->SelectedRow());
    return parameter >= 0 && parameter < app.meetings->MeetingCount() ? static_cast<std::int32_t>(parameter) : -1;
}

void ShowInQuickView(Application& app, std::int32_t meeting, int itemRow) {
    const Meeting* record = app.meetings->MeetingAt(meeting);
    if (record == nullptr || !app.quickView) return;
    const std::int64_t entry = itemRow >= 0 ? app.itemList->RowParameter(itemRow) : -1;
    app.quickView->Show(QuickViewText(*record, app.itemEntries, static_cast<std::int32_t>(entry), *app.addressBook,
                                      CurrentQuickViewFields(app)));
}

void CreateReportForSelection(Application& app) {
    const int row = app.meetingList ? app.meetingList->SelectedRow() : -1;
    const std::int32_t meeting = SelectedMeeting(app);
    if (row < 0 || meeting < 0) {
        Inform(app, kNoMeetingMessage);
        return;
    }
    app.currentMeeting = meeting;
    RECT client{};
    GetClientRect(app.frame, &client);
    RefreshQuickView(app, client);
    app.meetingList->SetRowStateImage(row, INDEXTOSTATEIMAGEMASK(1));
    ShowCreateReport(app, *app.meetings->Meetings().at(static_cast<std::size_t>(meeting)));
}

// The report of the selected row: the file at the row's position in the folder, as long as it is
// still the file the row shows. A folder changed since the refill would make the position name
// another file, so the row's name decides then; a report no longer there is no selection.
bool SelectedReport(Application& app, ReportEntry& entry) {
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

void OpenSelectedReport(Application& app, bool fromMenu) {
    ReportEntry entry;
    if (!SelectedReport(app, entry)) {
        if (fromMenu) Inform(app, kNoReportToOpen);
        return;
    }
    ViewerSettings viewer;
    app.settings->userKey.OpenUserKey(app.settings->userDirectory);
    app.settings->userKey.ReadValue("AutoView", viewer.autoView);
    viewer.browserPath = PathFromSettingsText(app.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
    OpenReportPath(entry.path, viewer, platform::SystemLauncher(), *app.ui);
}

void MailSelectedReport(Application& app, bool fromMenu) {
    ReportEntry entry;
    if (!SelectedReport(app, entry)) {
        if (fromMenu) Inform(app, kNoReportSent);
        return;
    }
    if (!app.mailer || !app.mailer->Available()) {
        Inform(app, kNoMapi);
        return;
    }
    app.mailer->SendReport(CurrentReportPaths(app), entry.fileName, *app.ui);
}

void DeleteSelectedReport(Application& app) {
    ReportEntry entry;
    if (!SelectedReport(app, entry)) {
        Inform(app, kNoReportToDelete);
        return;
    }
    DeleteReport(CurrentReportPaths(app), entry.fileName, *app.ui);
    app.reportList->Refill(0);
}

void ImportDroppedFile(Application& app, HDROP drop) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring file(static_cast<std::size_t>(length) + 1, L'\0');
    file.resize(DragQueryFileW(drop, 0, file.data(), length + 1));
    DragFinish(drop);
    if (file.empty()) return;
    ImportReport(CurrentReportPaths(app), std::filesystem::path(file), *app.ui);
    app.reportList->Refill(-1);
}

// The export dialog for the selected report; the report list is refilled after an export.
void ExportSelectedReport(Application& app) {
    ReportEntry entry;
    if (!SelectedReport(app, entry)) {
        Inform(app, kNoReportToExport);
        return;
    }
    ExportOptions options;
    options.paths = CurrentReportPaths(app);
    options.fileName = entry.fileName;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    if (ShowExportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

UserChangeCallbacks MakeUserChangeCallbacks(Application& app) {
    UserChangeCallbacks callbacks;
    callbacks.clearCurrentMeeting = [&app] {
        app.currentMeeting = -1;
        app.itemEntries.clear();
    };
    callbacks.applyViews = [&app](std::uint32_t meetingView, std::uint32_t reportView) {
        if (app.meetingList) app.meetingList->SetView(meetingView);
        if (app.reportList) app.reportList->SetView(reportView);
    };
    callbacks.setQuickViewText = [&app](std::string_view text) {
        if (app.quickView) app.quickView->Show(text);
    };
    callbacks.loadingMeetingStore = [&app](const std::filesystem::path& folder) {
        if (StoreLoadIsNoticeable(folder)) ShowLoading(app);
    };
    callbacks.refillLists = [&app] {
        StartFilterBuild(app);  // the store was loaded again
        if (app.meetingList) app.meetingList->Refill(-1);
        if (app.reportList) app.reportList->Refill(-1);
        RefillItemList(app, -1);
        EndLoading(app);
        NoteDamagedFiles(app);
    };
    callbacks.repaintFrame = [&app] { RepaintFrame(app); };
    callbacks.setUserBoxSelection = [&app](int index) {
        if (app.userBox != nullptr) SendMessageW(app.userBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    };
    return callbacks;
}

void OnCommand(Application& app, HWND frame, int command) {
    switch (command) {
        case kCmdAbout: ShowAboutBox(app.instance, frame); break;
        case kCmdExit: DestroyWindow(frame); break;
        case kCmdOpenPalmFolder: ChoosePalmFolder(app); break;
        case kCmdCreateReport: CreateReportForSelection(app); break;
        case kCmdCycleViews: CycleViews(app); break;
        case kCmdRefresh: RepaintFrame(app); break;
        case IDM_TODO_LIST: ShowToDoList(app); break;
        case kCmdCheckData: ShowCheckDialog(app); break;
        case kCmdFind:
            if (app.findBox != nullptr) {
                SetFocus(app.findBox);
                SendMessageW(app.findBox, EM_SETSEL, 0, -1);
            }
            break;
        case kCmdDelete: DeleteSelectedReport(app); break;
        case kCmdLargeIcons: ApplyBothViews(app, 2); break;
        case kCmdSmallIcons: ApplyBothViews(app, 3); break;
        case kCmdDetails: ApplyBothViews(app, 1); break;
        case kCmdList: ApplyBothViews(app, 4); break;
        case kCmdSupport: OpenWithShell(app, kSupportAddress, "Tavolex Meeting", true); break;
        case kCmdContact: OpenWithShell(app, kContactAddress, "Tavolex Meeting", true); break;
        case kCmdOpenReport: OpenSelectedReport(app, true); break;
        case kCmdHelp: OpenWithShell(app, Wide(app.settings->helpPath).c_str(), "", false); break;
        case kCmdMail: MailSelectedReport(app, true); break;
        case kCmdExport: ExportSelectedReport(app); break;
        case kCmdReportOptions: {
            ReportOptionsDialogOptions options = CurrentUserReportOptions(*app.settings, app.windowsMajorVersion > 4);
            ShowReportOptionsDialog(frame, options);
            RepaintFrame(app);
            break;
        }
        case kCmdPreferences: {
            PreferencesOptions options = LoadPreferences(*app.settings);
            const INT_PTR result = ShowPreferencesDialog(frame, options, CurrentUserPreferencesActions(app));
            if (result == IDOK && app.reportList) app.reportList->Refill(-1);
            break;
        }
        default: RunDesktopExport(app, frame, command); break;
    }
}

void ApplyPaneView(Application& app, PaneListView& list, std::uint32_t code, bool meetingPane) {
    if (!IsViewCode(code)) return;
    (meetingPane ? app.settings->meetingView : app.settings->reportView) = code;
    list.SetView(code);
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    if (app.settings->meetingView != 0) key.WriteDword("MeetingView", app.settings->meetingView);
    if (app.settings->reportView != 0) key.WriteDword("ReportView", app.settings->reportView);
    list.Refill(0);
}

void ShowContextMenu(HINSTANCE instance, HWND pane, int menuId, std::uint32_t view, bool mailAvailable) {
    UniqueMenu menu(LoadMenuW(instance, MAKEINTRESOURCEW(menuId)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    const int viewCommands[] = {kCmdPaneDetails, kCmdPaneLargeIcons, kCmdPaneSmallIcons, kCmdPaneList};
    if (view >= 1 && view <= 4)
        CheckMenuItem(popup, static_cast<UINT>(viewCommands[view - 1]), MF_BYCOMMAND | MF_CHECKED);
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
